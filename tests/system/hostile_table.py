"""The hostile datagrams test_hostile_datagrams.py replays against the real
program, case by case, and what each case leaves in the user area, the output
area and the popup windows.

The program runs in slot 1 as 標的; peer A (slot 2) and peer B (slot 3) have
announced themselves before the replay. Fake peers that a user list brings in
live at 198.18.0.101 and up, where nobody answers: the test gives them link
addresses that nobody has, so that what is sent to them leaves at once.

Each send names the socket it leaves from: a scripted peer, a socket beside
the program (its own address, or 127.0.0.1), or a raw socket that writes a
source address of its own (the local broadcast address, 255.0.0.7)."""
import itertools
from dataclasses import dataclass, field

import harness as h
import wire

OWN = h.slot_address(1)
PEER_A = h.slot_address(2)
PEER_B = h.slot_address(3)
BROADCAST = h.SUBNET + "255"
ZERO_NET = "255.0.0.7"  # the receiver takes such a source for itself
OWN_SOCKET = "own"      # from the program's own namespace: source OWN
LOOPBACK = "loopback"   # from the program's own namespace to 127.0.0.1
FORGED = (BROADCAST, ZERO_NET)

OWN_NAME = "標的".encode("cp932")
A_NAME = "相手A".encode("cp932")
B_NAME = "相手B".encode("cp932")
AVAILABLE = "受信可".encode("cp932")

MAX_POPUPS = 40


def fake(n):
    return f"{h.SUBNET}{100 + n}"


# Every fake peer address the table uses.
FAKES = [f"{h.SUBNET}{100 + n}" for n in range(1, 62)]


def cp(text):
    return text.encode("cp932")


@dataclass
class Send:
    datagram: bytes
    via: str = PEER_A  # PEER_A, PEER_B, OWN_SOCKET, LOOPBACK, or a forged source


@dataclass
class Case:
    name: str
    sends: list
    # What the user area shows afterwards: address -> (name, status) as
    # stored (a row already there changes in place, a new one comes last),
    # and the addresses whose rows go.
    rows: dict = field(default_factory=dict)
    gone: tuple = ()
    lines: tuple = ()        # output lines that must appear, in this order
    popup_texts: tuple = ()  # texts that popup windows must show
    # Left out when the popups of the case must be counted against the
    # program's bound first (the flood).
    flood: bool = False


_counts = itertools.count(20000)
_numbers = itertools.count(2001)


def count():
    return next(_counts)


def entry(addr, name, cond=AVAILABLE, cnt=1000):
    return wire.raw_entry(addr, name, cond, cnt=cnt)


def userlist(entries, **fields):
    return wire.entry_datagram(wire.KIND_USERLIST, PEER_A, count(), entries, **fields)


def own_entry(kind, addr, name, cond=AVAILABLE, entry_addr=None, **fields):
    """Kinds 1, 5, 100 and the unknown ones: one entry, the sender's."""
    return wire.entry_datagram(kind, addr, count(), [entry(entry_addr or addr, name, cond)], **fields)


def chat(text, addr=PEER_A, number=None, **fields):
    """A chat line and the number it carries."""
    number = next(_numbers) if number is None else number
    return wire.message_datagram(wire.KIND_CHAT, addr, count(), number, text, **fields), number


def line(number, name, text):
    return b"%d %s > %s" % (number - 1000, name, text)


def popup(text, **fields):
    return wire.message_datagram(wire.KIND_POPUP, PEER_A, count(), 0, text, **fields)


def with_head(datagram, head):
    return head + datagram[4:]


def _chat_case(name, text, shown, **fields):
    datagram, number = chat(text, **fields)
    return Case(name, [Send(datagram)], lines=(line(number, A_NAME, shown),))


def texts_without_nul():
    full_name, full_cond = b"N" * 20, b"S" * 20
    kana_name, kana_cond = cp("あ") * 10, cp("い") * 10
    return [
        Case("user list: names and statuses fill their fields",
             [Send(userlist([entry(fake(1), full_name, full_cond), entry(fake(2), kana_name, kana_cond)]))],
             rows={fake(1): (full_name[:19], full_cond[:14]), fake(2): (kana_name[:19], kana_cond[:14])}),
        Case("announcement: status fills its field",
             [Send(own_entry(wire.KIND_START, PEER_A, A_NAME, b"y" * 20))], rows={PEER_A: (A_NAME, b"y" * 14)}),
        Case("status change: status fills its field",
             [Send(own_entry(wire.KIND_STATUS, PEER_A, A_NAME, b"z" * 20))], rows={PEER_A: (A_NAME, b"z" * 14)}),
        Case("user check: status fills its field",
             [Send(own_entry(wire.KIND_CHECK, PEER_A, A_NAME, b"w" * 20))], rows={PEER_A: (A_NAME, b"w" * 14)}),
        _chat_case("chat: 256 bytes of text up to the end of the datagram", b"T" * 256, b"T" * 255,
                   num=255, nul=False),
        _chat_case("chat: 600 bytes of text, no NUL", b"U" * 600, b"U" * 255, nul=False),
        Case("popup: 256 bytes of text up to the end of the datagram",
             [Send(popup(b"P" * 256, num=255, nul=False))], popup_texts=(b"P" * 255,)),
        Case("popup: 1000 bytes of text, no NUL", [Send(popup(b"Q" * 1000, nul=False))],
             popup_texts=(b"Q" * 255,)),
    ]


def lying_counts():
    return [
        Case("user list: num 5, two entries present",
             [Send(userlist([entry(fake(3), b"three"), entry(fake(4), b"four")], num=5))],
             rows={fake(3): (b"three", AVAILABLE), fake(4): (b"four", AVAILABLE)}),
        Case("user list: num 65535, one entry", [Send(userlist([entry(fake(5), b"five")], num=0xFFFF))],
             rows={fake(5): (b"five", AVAILABLE)}),
        Case("user list: num -32768, one entry", [Send(userlist([entry(fake(6), b"six")], num=0x8000))],
             rows={fake(6): (b"six", AVAILABLE)}),
        Case("user list: num 0, two entries", [Send(userlist([entry(fake(7), b"seven"), entry(fake(8), b"eight")],
                                                             num=0))]),
        Case("user list: num 1, three entries",
             [Send(userlist([entry(fake(9), b"nine"), entry(fake(10), b"ten"), entry(fake(11), b"eleven")], num=1))],
             rows={fake(9): (b"nine", AVAILABLE)}),
        Case("user list: entry at 0.0.0.0", [Send(userlist([entry("0.0.0.0", b"nowhere")]))]),
        Case("user list: len 16 and no Head", [Send(with_head(userlist([entry(fake(12), b"twelve")], length=16),
                                                              b"\0\0\0\0"))],
             rows={fake(12): (b"twelve", AVAILABLE)}),
        Case("announcement: num 0", [Send(own_entry(wire.KIND_START, PEER_A, A_NAME, cp("無視"), num=0))]),
        Case("user check: num 0", [Send(own_entry(wire.KIND_CHECK, PEER_A, A_NAME, cp("無視"), num=0))]),
        Case("announcement: num 30 and len 2000, one entry",
             [Send(own_entry(wire.KIND_START, PEER_A, A_NAME, b"thirty", num=30, length=2000))],
             rows={PEER_A: (A_NAME, b"thirty")}),
        _chat_case("chat: num 200, short text", b"short", b"short", num=200),
        _chat_case("chat: num 0", b"nothing shown", b"", num=0),
        _chat_case("chat: num 3, longer text", b"abcdef", b"abc", num=3),
        _chat_case("chat: num 65535", b"big", b"big", num=0xFFFF),
        _chat_case("chat: len 65535", b"lenlie", b"lenlie", length=0xFFFF),
        _chat_case("chat: len 3", b"tiny len", b"tiny len", length=3),
        Case("popup: num 0", [Send(popup(b"hidden", num=0))]),
        Case("popup: num 2, len 65535", [Send(popup(b"cut", num=2, length=0xFFFF))]),
        Case("popup: len 10", [Send(popup(b"before the text", length=10))]),
    ]


def board_stroke():
    points = [(3 * i, 300 - 3 * i) for i in range(100)]
    return wire.board_fields(PEER_A, count(), colour=(255, 0, 0), width=8, points=points)


def every_cut():
    chat_datagram, _ = chat(b"cut line")
    resp = wire.expected_resp(wire.own_entry_datagram(wire.KIND_CHECK, OWN, 1234, OWN_NAME), PEER_A)
    cases = [
        ("announcement", own_entry(wire.KIND_START, PEER_A, A_NAME), {PEER_A: (A_NAME, AVAILABLE)}),
        ("user list", userlist([entry(fake(20), b"cut1"), entry(fake(21), b"cut2")]),
         {fake(20): (b"cut1", AVAILABLE), fake(21): (b"cut2", AVAILABLE)}),
        ("chat", chat_datagram, {}),
        ("status change", own_entry(wire.KIND_STATUS, PEER_A, A_NAME, cp("会議中")), {PEER_A: (A_NAME, cp("会議中"))}),
        ("popup", popup(b"p"), {}),
        ("acknowledgement", resp, {}),
        ("whiteboard stroke", board_stroke(), {}),
        ("user check", own_entry(wire.KIND_CHECK, PEER_A, A_NAME, cp("在席中")), {PEER_A: (A_NAME, cp("在席中"))}),
    ]
    table = [Case(f"{name} cut at every length", [Send(cut) for cut in wire.cuts(datagram)], rows=rows)
             for name, datagram, rows in cases]
    # Peer B says goodbye in every length (from the first one that carries
    # its kind), then comes back and is last in the table.
    goodbye = wire.end(PEER_B, count())
    table.append(Case("departure cut at every length", [Send(cut, PEER_B) for cut in wire.cuts(goodbye)],
                      gone=(PEER_B,)))
    table.append(Case("peer B comes back", [Send(own_entry(wire.KIND_START, PEER_B, B_NAME), PEER_B)],
                      rows={PEER_B: (B_NAME, AVAILABLE)}))
    return table


def unknown_kinds():
    return [Case(f"unknown kind {kind}", [Send(own_entry(kind, PEER_A, A_NAME, cp("未知")))])
            for kind in (0, 9, 101, 0x0104, 0x8000, 0xFFFF)]


def too_long():
    entries = [entry(fake(30 + i), b"toolong%d" % i) for i in range(31)]
    return [
        Case("user list of 1577 bytes", [Send(userlist(entries)[:wire.LARGEST + 1])]),
        Case("announcement of 8000 bytes", [Send(own_entry(wire.KIND_START, PEER_A, b"long").ljust(8000, b"L"))]),
        Case("user list of 65507 bytes", [Send(userlist(entries).ljust(65507, b"\xff"))]),
    ]


def spoofed_own_address():
    spoof, spoof_number = chat(cp("宛名偽装"), addr=OWN)
    own_line, own_number = chat(cp("自分から"), addr=OWN, number=1500)
    hijack = cp("乗っ取り")
    return [
        Case("chat whose addr is the program's", [Send(spoof)], lines=(line(spoof_number, A_NAME, cp("宛名偽装")),)),
        Case("announcement whose entry is the program's",
             [Send(own_entry(wire.KIND_START, PEER_A, A_NAME, b"own1", entry_addr=OWN))],
             rows={PEER_A: (A_NAME, b"own1")}),
        Case("status change whose entry is the program's",
             [Send(own_entry(wire.KIND_STATUS, PEER_A, A_NAME, b"own2", entry_addr=OWN))],
             rows={PEER_A: (A_NAME, b"own2")}),
        Case("user check whose entry is the program's",
             [Send(own_entry(wire.KIND_CHECK, OWN, A_NAME, b"own3", entry_addr=OWN))],
             rows={PEER_A: (A_NAME, b"own3")}),
        # A user list's entries are taken as sent: one at the program's own
        # address is the peers' view of this user, and replaces the own entry.
        Case("user list renaming the program's own entry",
             [Send(userlist([entry(OWN, hijack, cp("偽装"))]))], rows={OWN: (hijack, cp("偽装"))}),
        Case("user list giving the own entry back", [Send(userlist([entry(OWN, OWN_NAME)]))],
             rows={OWN: (OWN_NAME, AVAILABLE)}),
        Case("announcement, check and departure from the program's own address",
             [Send(own_entry(kind, OWN, b"self", entry_addr=OWN), OWN_SOCKET)
              for kind in (wire.KIND_START, wire.KIND_CHECK, wire.KIND_END)]),
        Case("announcement and chat from 127.0.0.1",
             [Send(own_entry(wire.KIND_START, OWN, b"loop"), LOOPBACK), Send(own_line, LOOPBACK)],
             lines=(line(own_number, OWN_NAME, cp("自分から")),)),
    ]


def broadcast_sources():
    """Sources ending in .255 give way to the datagram's own addr; 255.0.0.x
    stands for the program itself."""
    from_broadcast, number = chat(cp("放送元"))
    claims, claims_number = chat(cp("放送を名乗る"), addr=BROADCAST)
    return [
        Case("chat from A whose addr claims .255", [Send(claims)],
             lines=(line(claims_number, A_NAME, cp("放送を名乗る")),)),
        Case("announcement from A whose entry claims .255",
             [Send(own_entry(wire.KIND_START, BROADCAST, A_NAME, b"bcast1", entry_addr=BROADCAST))],
             rows={PEER_A: (A_NAME, b"bcast1")}),
        Case("chat from the broadcast address naming A", [Send(from_broadcast, BROADCAST)],
             lines=(line(number, A_NAME, cp("放送元")),)),
        Case("status change from the broadcast address naming B",
             [Send(own_entry(wire.KIND_STATUS, PEER_B, B_NAME, cp("外出中")), BROADCAST)],
             rows={PEER_B: (B_NAME, cp("外出中"))}),
        Case("announcement from the broadcast address naming 0.0.0.0",
             [Send(own_entry(wire.KIND_START, "0.0.0.0", b"zero"), BROADCAST)]),
        Case("announcement from the broadcast address naming itself",
             [Send(own_entry(wire.KIND_START, BROADCAST, cp("放送")), BROADCAST)],
             rows={BROADCAST: (cp("放送"), AVAILABLE)}),
        Case("departure from the broadcast address naming itself",
             [Send(wire.end(BROADCAST, count()), BROADCAST)], gone=(BROADCAST,)),
        Case("departure and announcement from 255.0.0.7",
             [Send(wire.end(PEER_A, count()), ZERO_NET),
              Send(own_entry(wire.KIND_START, PEER_A, b"zeronet"), ZERO_NET)]),
    ]


def popup_flood():
    return [Case("60 popups at once", [Send(popup(cp("洪水 %d" % i))) for i in range(60)], flood=True)]


def whiteboard():
    far = [(65535, 65535), (0, 65535), (65535, 0), (32768, 32768), (40000, 301)] * 20
    zigzag = [(0 if i % 2 else 65535, i * 655) for i in range(100)]
    return [
        Case("stroke of width 65535 far outside the canvas",
             [Send(wire.board_fields(PEER_A, count(), (0, 0, 255), 65535, far))]),
        Case("stroke claiming 65535 points", [Send(wire.board_fields(PEER_A, count(), (0, 128, 0), 65535, zigzag,
                                                                     count=65535))]),
        Case("stroke of width 0 and clear flags 2 and 65535",
             [Send(wire.board_fields(PEER_A, count(), (255, 0, 255), 0, [(10, 10), (290, 290)], clear=2)),
              Send(wire.board_fields(PEER_A, count(), (255, 0, 255), 8, [(10, 290), (290, 10)], clear=0xFFFF))]),
        Case("clear claiming 65535 points", [Send(wire.board_fields(PEER_A, count(), count=65535, clear=1))]),
        Case("stroke after the clear", [Send(wire.board_fields(PEER_A, count(), (255, 0, 0), 65535,
                                                                 [(150, 150), (150, 150)]))]),
    ]


def cases():
    """The whole table, in the order of its replay."""
    return (texts_without_nul() + lying_counts() + every_cut() + unknown_kinds() + too_long() + spoofed_own_address()
            + broadcast_sources() + popup_flood() + whiteboard())
