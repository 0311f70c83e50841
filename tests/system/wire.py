"""Datagrams built byte for byte as peers send them, and the dump text the
program writes for a received datagram when Debug and the log are on.

Wire integers are big-endian; texts are CP932 bytes in fixed fields."""
import socket
import struct
import time

KIND_START = 1
KIND_USERLIST = 2
KIND_END = 3
KIND_CHAT = 4
KIND_STATUS = 5
KIND_POPUP = 6
KIND_RESP = 7
KIND_BOARD = 8
KIND_CHECK = 100

HEADER_SIZE = 16
ENTRY_SIZE = 52
MAX_USERS = 30
# The largest datagram a peer builds (a table of 30 users); anything longer is
# refused by the receiver.
LARGEST = HEADER_SIZE + MAX_USERS * ENTRY_SIZE
RESP_SIZE = 25
BOARD_SIZE = 436


def address(dotted):
    """Four bytes, first octet first."""
    return socket.inet_aton(dotted)


def header(kind, addr, num, all_count, length):
    return b"K001" + struct.pack(">HH4sHH", length, kind, address(addr), num, all_count)


def text_field(text, size):
    if len(text) >= size:
        raise ValueError(f"{text!r} does not fit a {size}-byte field")
    return text + bytes(size - len(text))


def user_entry(addr, name, color=(0, 0, 0), cnt=1000, cond="受信可".encode("cp932")):
    red, green, blue = color
    return (address(addr) + text_field(name, 20) + struct.pack(">HHHH", red * 256, green * 256, blue * 256, cnt)
            + text_field(cond, 20))


def own_entry_datagram(kind, addr, all_count, name, **entry):
    """KIND_START, KIND_STATUS or KIND_CHECK: the sender's own entry."""
    return header(kind, addr, 1, all_count, HEADER_SIZE + ENTRY_SIZE) + user_entry(addr, name, **entry)


def chat(addr, all_count, number, text):
    body = struct.pack(">I", number) + text + b"\0"
    return header(KIND_CHAT, addr, len(text), all_count, HEADER_SIZE + len(body)) + body


def popup(addr, all_count, text):
    """A popup message: a chat's layout with kind 6 and the number 0."""
    body = struct.pack(">I", 0) + text + b"\0"
    return header(KIND_POPUP, addr, len(text), all_count, HEADER_SIZE + len(body)) + body


def board(addr, all_count, colour=(0, 0, 0), width=1, points=(), clear=False):
    """A whiteboard stroke (or clear): 436 bytes, up to 100 points."""
    red, green, blue = colour
    body = struct.pack(">HHHHHH", red << 8, green << 8, blue << 8, width, len(points), 1 if clear else 0)
    body += bytes(8) + b"".join(struct.pack(">HH", x, y) for x, y in points)
    body = body.ljust(BOARD_SIZE - HEADER_SIZE, b"\0")
    return header(KIND_BOARD, addr, 0, all_count, BOARD_SIZE) + body


def wait_listening(peer, own, all_count, alive):
    """Waits until the program at `own` answers: a chat line from a stranger
    is dropped but acknowledged. Raises when no answer ever comes."""
    probe = chat(peer.address, all_count, 1001, b"probe")
    if peer.exchange(probe, own, acknowledges(probe), alive=alive) is None:
        raise AssertionError("the program never acknowledged anything")


def userlist(addr, all_count, entries):
    length = HEADER_SIZE + ENTRY_SIZE * len(entries)
    return header(KIND_USERLIST, addr, len(entries), all_count, length) + b"".join(entries)


def end(addr, all_count):
    return header(KIND_END, addr, 1, all_count, HEADER_SIZE)


class Header:
    def __init__(self, data):
        padded = data[:HEADER_SIZE].ljust(HEADER_SIZE, b"\0")
        self.head = padded[:4]
        self.length, self.kind, addr, self.num, self.all_count = struct.unpack(">HH4sHH", padded[4:])
        self.addr = socket.inet_ntoa(addr)


def expected_resp(datagram, own_addr, bytes_16_to_19=None):
    """The acknowledgement of `datagram`: the datagram rewritten in place, with
    bytes 16 to 19 as the receive path left them."""
    received = Header(datagram)
    middle = bytes_16_to_19 if bytes_16_to_19 is not None else datagram[16:20].ljust(4, b"\0")
    return (b"K001" + struct.pack(">HH4sHH", RESP_SIZE, KIND_RESP, address(own_addr), 5, received.all_count)
            + middle + b"Resp\0")


# The debug dump. Numbers are the raw field bytes read as little-endian
# integers; len, kind, num and cnt are sign-extended to 32 bits first.

def _raw16_signed(data, offset):
    value = int.from_bytes(data[offset:offset + 2], "little")
    return value | 0xFFFF0000 if value >= 0x8000 else value


def _raw16(data, offset):
    return int.from_bytes(data[offset:offset + 2], "little")


def _raw32(data, offset):
    return int.from_bytes(data[offset:offset + 4], "little")


def _c_string(data, offset, size):
    field = data[offset:offset + size]
    return field.split(b"\0", 1)[0]


def dump_stamp(moment):
    return b"[%02d/%02d %02d:%02d] " % (moment.tm_mon, moment.tm_mday, moment.tm_hour, moment.tm_min)


def _dump_head(data, moment):
    text = dump_stamp(moment) + "\r\n*** 受信 ***\r\n".encode("cp932")
    text += b"Head: %s\r\n" % _c_string(data, 0, len(data))
    text += b"len:  %04x\r\n" % _raw16_signed(data, 4)
    text += b"kind: %04x\r\n" % _raw16_signed(data, 6)
    text += b"addr: %08x\r\n" % _raw32(data, 8)
    text += b"num:  %04x\r\n" % _raw16_signed(data, 12)
    text += b"allCount: %04x\r\n" % _raw16(data, 14)
    return text


def _dump_entry(data, number):
    base = HEADER_SIZE + (number - 1) * ENTRY_SIZE
    text = "番号: ".encode("cp932") + b"%d\r\n" % number
    text += b"addr: %08x\r\n" % _raw32(data, base)
    text += b"from: %s\r\n" % _c_string(data, base + 4, 20)
    text += b"color.red: %04x\r\n" % _raw16(data, base + 24)
    text += b"color.green: %04x\r\n" % _raw16(data, base + 26)
    text += b"color.blue: %04x\r\n" % _raw16(data, base + 28)
    text += b"cnt: %04x\r\n" % _raw16_signed(data, base + 30)
    text += b"cond: %s\r\n" % _c_string(data, base + 32, 20)
    return text + b"\r\n"


def dump_received(datagram, moment, message_counter=1000, table_count=None):
    """What the program appends to its log for a received datagram, as one
    byte string (entry kinds write one text per entry, back to back)."""
    data = datagram.ljust(LARGEST, b"\0")
    kind = Header(datagram).kind
    if kind == KIND_CHAT:
        text = _dump_head(data, moment) + b"text-cont: %08x\r\n" % _raw32(data, 16)
        if table_count is not None:
            text += b"tabel-cont: %08x\r\n" % table_count
        return text + b"my cont: %04x\r\n" % message_counter
    if kind in (KIND_START, KIND_USERLIST, KIND_END, KIND_STATUS, KIND_CHECK):
        count = min(Header(datagram).num, MAX_USERS)
        return b"".join(_dump_head(data, moment) + _dump_entry(data, i) for i in range(1, count + 1))
    return b""


def dump_candidates(datagram, before, after, **counters):
    """The dump for each minute between two moments (the minute may roll over
    while the datagram is on its way)."""
    moments = [time.localtime(before), time.localtime(after)]
    return {dump_received(datagram, m, **counters) for m in moments}


def acknowledges(datagram):
    """Matches the acknowledgement of `datagram` (same allCount)."""
    all_count = Header(datagram).all_count

    def match(data, source):
        answer = Header(data)
        return answer.kind == KIND_RESP and answer.all_count == all_count

    return match


def of_kind(kind, source=None):
    def match(data, sender):
        return Header(data).kind == kind and (source is None or sender == source)

    return match


# Hostile datagrams: fields that lie, texts without their NUL, and packets
# with a source address of our own choosing.

def filled_field(text, size):
    """A text field that may fill its field completely, leaving no NUL."""
    if len(text) > size:
        raise ValueError(f"{text!r} is longer than a {size}-byte field")
    return text + bytes(size - len(text))


def raw_entry(addr, name, cond, color=(0, 0, 0), cnt=1000):
    """A user entry whose name and status may fill their fields without a NUL."""
    red, green, blue = color
    return (address(addr) + filled_field(name, 20) + struct.pack(">HHHH", red * 256, green * 256, blue * 256, cnt)
            + filled_field(cond, 20))


def entry_datagram(kind, addr, all_count, entries, num=None, length=None):
    """A datagram carrying user entries, with `num` and `len` as given (by
    default as a correct sender writes them)."""
    num = len(entries) if num is None else num
    length = HEADER_SIZE + ENTRY_SIZE * len(entries) if length is None else length
    return header(kind, addr, num, all_count, length) + b"".join(entries)


def message_datagram(kind, addr, all_count, number, text, num=None, length=None, nul=True):
    """A chat or popup datagram whose `num`, `len` and closing NUL may lie."""
    body = struct.pack(">I", number) + text + (b"\0" if nul else b"")
    num = len(text) if num is None else num
    length = HEADER_SIZE + len(body) if length is None else length
    return header(kind, addr, num, all_count, length) + body


def board_fields(addr, all_count, colour=(0, 0, 0), width=1, points=(), count=None, clear=0):
    """A whiteboard datagram with any point count and clear flag."""
    red, green, blue = colour
    count = len(points) if count is None else count
    body = struct.pack(">HHHHHH", red << 8, green << 8, blue << 8, width, count, clear)
    body += bytes(8) + b"".join(struct.pack(">HH", x, y) for x, y in points[:100])
    body = body.ljust(BOARD_SIZE - HEADER_SIZE, b"\0")
    return header(KIND_BOARD, addr, 0, all_count, BOARD_SIZE) + body


def cuts(datagram):
    """The datagram cut at every length from 0 up to its full size."""
    return [datagram[:n] for n in range(len(datagram) + 1)]


def c_text(field):
    """A stored text as far as its NUL."""
    return field.split(b"\0", 1)[0]


def entries_of(datagram):
    """(address, name, status) of each user entry a datagram carries, by its num."""
    count = Header(datagram).num
    found = []
    for i in range(count):
        entry = datagram[HEADER_SIZE + i * ENTRY_SIZE:HEADER_SIZE + (i + 1) * ENTRY_SIZE]
        if len(entry) < ENTRY_SIZE:
            break
        found.append((socket.inet_ntoa(entry[:4]), c_text(entry[4:24]), c_text(entry[32:52])))
    return found


def _checksum(data):
    if len(data) % 2:
        data += b"\0"
    total = sum(struct.unpack(f">{len(data) // 2}H", data))
    total = (total >> 16) + (total & 0xFFFF)
    total += total >> 16
    return ~total & 0xFFFF


def forged_udp(source, destination, port, payload, source_port=None):
    """An IPv4 packet carrying one UDP datagram from any source address, for
    a raw socket (IPPROTO_RAW) to send as it stands."""
    source_port = port if source_port is None else source_port
    udp_length = 8 + len(payload)
    pseudo = address(source) + address(destination) + struct.pack(">BBH", 0, 17, udp_length)
    checksum = _checksum(pseudo + struct.pack(">HHHH", source_port, port, udp_length, 0) + payload) or 0xFFFF
    udp = struct.pack(">HHHH", source_port, port, udp_length, checksum) + payload
    ip = struct.pack(">BBHHHBBH4s4s", 0x45, 0, 20 + udp_length, 0, 0, 64, 17, 0, address(source),
                     address(destination))
    return ip[:10] + struct.pack(">H", _checksum(ip)) + ip[12:] + udp


def resp_of(received, own_addr, bytes_16_to_19=None):
    """The acknowledgement of a datagram as received, however short: its own
    first four bytes (whatever they are), then the rewritten header, bytes 16
    to 19 as the receive path left them and "Resp"."""
    padded = received.ljust(HEADER_SIZE + 4, b"\0")
    middle = padded[16:20] if bytes_16_to_19 is None else bytes_16_to_19
    return (padded[:4] + struct.pack(">HH4sHH", RESP_SIZE, KIND_RESP, address(own_addr), 5, Header(received).all_count)
            + middle + b"Resp\0")
