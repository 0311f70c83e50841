"""Watches the link of one namespace: every UDP datagram on the program's port
that arrives on its eth0, in the order the link carries it. Loss is made on
the bridge, before the link, so the arrivals seen here are exactly what the
program's socket received.

Uses a packet socket (root); the kernel hands it a copy of each packet, the
traffic itself is untouched."""
import socket
import struct
import threading
import time

import harness as h
import wire

ETH_P_IP = 0x0800


class Datagram:
    def __init__(self, moment, source, destination, payload):
        self.moment = moment
        self.source = source
        self.destination = destination
        self.payload = payload
        self.header = wire.Header(payload)


def _udp_payload(packet, port):
    """(source, destination, payload) of a whole UDP datagram to or from
    `port`, or None (another protocol, a fragment)."""
    if len(packet) < 20 or packet[0] >> 4 != 4 or packet[9] != 17:
        return None
    header_length = (packet[0] & 0x0F) * 4
    flags_and_offset = struct.unpack(">H", packet[6:8])[0]
    if flags_and_offset & 0x3FFF:  # more fragments, or not the first
        return None
    source_port, destination_port, length = struct.unpack(">HHH", packet[header_length:header_length + 6])
    if port not in (source_port, destination_port):
        return None
    payload = packet[header_length + 8:header_length + length]
    return socket.inet_ntoa(packet[12:16]), socket.inet_ntoa(packet[16:20]), payload


class Sniffer:
    def __init__(self, slot, netbed=None, port=h.PORT):
        with h.inside_namespace(slot, netbed):
            self.sock = socket.socket(socket.AF_PACKET, socket.SOCK_DGRAM, socket.htons(ETH_P_IP))
            self.sock.bind(("eth0", ETH_P_IP))
        self.sock.settimeout(0.2)
        self.port = port
        self.seen = []
        self._lock = threading.Lock()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, name=f"sniffer {slot}", daemon=True)
        self._thread.start()

    def _run(self):
        while not self._stop.is_set():
            try:
                packet = self.sock.recv(65535)
            except socket.timeout:
                continue
            except OSError:
                return
            parts = _udp_payload(packet, self.port)
            if parts is None:
                continue
            with self._lock:
                self.seen.append(Datagram(time.monotonic(), *parts))

    def close(self):
        self._stop.set()
        self._thread.join(2)
        self.sock.close()

    def arrivals(self, kind=None, source=None):
        """Datagrams that came in, in order, optionally of one kind or sender.
        (A packet socket bound to one protocol sees incoming packets only.)"""
        with self._lock:
            seen = list(self.seen)
        return [d for d in seen if (kind is None or d.header.kind == kind)
                and (source is None or d.source == source)]

    def last_moment(self):
        with self._lock:
            return self.seen[-1].moment if self.seen else None


def open_sniffer(test_case, slot, netbed=None, class_level=False):
    sniffer = Sniffer(slot, netbed)
    (test_case.addClassCleanup if class_level else test_case.addCleanup)(sniffer.close)
    return sniffer
