"""The splitter bars dragged with the mouse: each stops at its limits, the
panes follow it, and the positions it leaves are saved at exit."""
import command_ids
import harness as h

WINDOW = {"Left": 300, "Top": 200, "Right": 850, "Bottom": 650}
FAR = 1000


class SplitterBars(h.SystemTestCase):

    def start(self, name, view, **positions):
        ini = h.ini_text({"Client_Definition": {"Name": name, "UserArea_View": view},
                          "Window_Information": {**WINDOW, **positions}})
        program = self.start_program(None, ini)
        program.main_window(title=f"Mosswick - [{name}]".encode())
        return program

    @staticmethod
    def layout(program):
        """The children's client rectangles: by control id, and the two bars
        as "first" and "second", told apart by their shape: in TYPE I the
        second is the upright one, in TYPE II the lower one."""
        rects, bars = {}, []
        for line in program.drive("layout", h.MAIN_CLASS).splitlines()[1:]:
            ident, kind, *box = line.split()
            box = tuple(map(int, box))
            if kind == "SplitBar":
                bars.append(box)
            else:
                rects[int(ident)] = box
        upright = [b for b in bars if b[2] - b[0] == 3]
        if upright:
            rects["second"] = upright[0]
            rects["first"] = next(b for b in bars if b is not upright[0])
        else:
            rects["first"], rects["second"] = sorted(bars, key=lambda b: b[1])
        return rects

    def drag(self, program, bar, dx, dy):
        left, top, right, bottom = self.layout(program)[bar]
        x, y = (left + right) // 2, (top + bottom) // 2
        program.drive("drag", h.MAIN_CLASS, x, y, x + dx, y + dy)
        return self.layout(program)

    def assert_type1_panes_follow(self, r):
        user, output, inp, send = (r[command_ids.id_of(n)] for n in
                                   ("IDC_USERLIST", "IDC_OUTPUT", "IDC_INPUT", "IDC_SEND"))
        self.assertEqual(user[2], r["second"][0], "the user area ends at the second bar")
        self.assertEqual(output[0], r["second"][2], "the output area begins after the second bar")
        self.assertEqual(output[3], r["first"][1], "the output area ends at the first bar")
        self.assertEqual(inp[1], r["first"][3], "the input area begins below the first bar")
        self.assertEqual(inp[2], send[0], "the input area ends where the send button begins")

    def test_type1_bars_stop_at_their_limits_and_are_saved(self):
        program = self.start("splitI", 1)
        ids = {n: command_ids.id_of(n) for n in ("IDC_TOOLBAR", "IDC_STATUSBAR", "IDC_INPUT")}
        width = self.layout(program)[ids["IDC_STATUSBAR"]][2]

        r = self.drag(program, "second", -FAR, 0)
        # 10 pixels right of the outer frame's left edge: the frame's border
        # lies left of the client area.
        self.assertTrue(0 <= r["second"][0] <= 10, r["second"])
        self.assert_type1_panes_follow(r)
        r = self.drag(program, "second", FAR, 0)
        self.assertEqual(r["second"][0], width - 60)
        self.assert_type1_panes_follow(r)
        r = self.drag(program, "second", -(width - 60 - 200), 0)
        self.assertEqual(r["second"][0], 200)

        r = self.drag(program, "first", 0, -FAR)
        self.assertEqual(r["first"][1], r[ids["IDC_TOOLBAR"]][3], "stops at the toolbar's bottom edge")
        r = self.drag(program, "first", 0, FAR)
        self.assertEqual(r["first"][1], r[ids["IDC_INPUT"]][3] - 7, "stops 7 above the input area's bottom")
        self.assert_type1_panes_follow(r)
        r = self.drag(program, "first", 0, -100)
        saved_first = r["first"][1]

        program.close()
        self.assertEqual(program.wait_exit(), 0)
        info = h.read_ini(program.ini_path)["Window_Information"]
        self.assertEqual((int(info["Split1_Pos"]), int(info["Split2_Pos"])), (saved_first, 200))

    def test_type2_bars_stop_at_their_limits_and_are_saved(self):
        program = self.start("splitII", 2, Split1_Pos=250, Split3_Pos=300)
        status = command_ids.id_of("IDC_STATUSBAR")
        user, send = command_ids.id_of("IDC_USERLIST"), command_ids.id_of("IDC_SEND")

        r = self.drag(program, "second", 0, FAR)
        # The drag allows 5 above the status bar; the layout keeps 6.
        self.assertEqual(r["second"][1], r[status][1] - 6)
        self.assertEqual(r[user][1], r["second"][3])
        self.assertEqual(r[send][1], r["second"][3])
        r = self.drag(program, "second", 0, -FAR)
        self.assertEqual(r["second"][1], r["first"][3] + 4, "stops 4 below the input area's top")
        r = self.drag(program, "first", 0, FAR)
        self.assertEqual(r["first"][1], r["second"][1] - 7)
        # Both bars span the whole width.
        self.assertEqual((r["first"][0], r["first"][2]), (0, r[status][2]))
        self.assertEqual((r["second"][0], r["second"][2]), (0, r[status][2]))
        r = self.drag(program, "second", 0, 60)
        r = self.drag(program, "first", 0, -80)

        program.close()
        self.assertEqual(program.wait_exit(), 0)
        info = h.read_ini(program.ini_path)["Window_Information"]
        self.assertEqual((int(info["Split1_Pos"]), int(info["Split3_Pos"])), (r["first"][1], r["second"][1]))
