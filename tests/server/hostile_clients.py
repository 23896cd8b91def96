#!/usr/bin/env python3
"""The score server against slow and greedy clients, on loopback.

Idle and dripping connections must not keep a player waiting, and a dripped head is cut off at
its deadline; an endless request line, header or body is refused early; the server's memory
stays small whatever is sent or left unread. Every address
127.x.y.z reaches this machine, so each attacker has an address of its own, as on the internet.

    hostile_clients.py PATH-TO-tapdash-scores

Margins are generous: a normal request must be answered within 5 s (it takes milliseconds) and
the server may grow by 40 MB at most (a server that buffers what it is sent grows by hundreds).
"""
import os
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

ANSWER_MARGIN_S = 5.0
GROWTH_MARGIN_KB = 40 * 1024
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


def memory_kb(pid, field):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return -1


def one_reply(sock):
    """The status line of one reply, or '' when the connection closed before the reply ended."""
    data = b""
    try:
        while b"\r\n\r\n" not in data:
            chunk = sock.recv(65536)
            if not chunk:
                return ""
            data += chunk
        head, body = data.split(b"\r\n\r\n", 1)
        length = 0
        for line in head.split(b"\r\n"):
            if line.lower().startswith(b"content-length:"):
                length = int(line.split(b":")[1])
        while len(body) < length:
            chunk = sock.recv(65536)
            if not chunk:
                return ""
            body += chunk
    except OSError:
        return ""
    return head.split(b"\r\n", 1)[0].decode("latin-1")


def connect(port, source):
    return socket.create_connection(("127.0.0.1", port), timeout=30, source_address=(source, 0))


def timed_page(port):
    started = time.monotonic()
    sock = connect(port, "127.0.0.1")
    sock.sendall(b"GET /tapdash/ HTTP/1.1\r\nHost: t\r\nConnection: close\r\n\r\n")
    reply = one_reply(sock)
    sock.close()
    return reply.startswith("HTTP/1.1 200"), time.monotonic() - started


def slow_clients(port):
    idle = [connect(port, f"127.0.0.{i + 2}") for i in range(200)]
    drips = [connect(port, f"127.0.2.{i + 1}") for i in range(8)]
    request = b"GET /tapdash/ HTTP/1.1\r\nHost: t\r\n"
    stop = threading.Event()
    dripped = threading.Event()

    def drip():
        sent = 0
        while not stop.is_set() and sent < len(request):
            for sock in drips:
                try:
                    sock.send(request[sent:sent + 1])
                except OSError:
                    pass
            sent += 1
            dripped.set()
            stop.wait(2.0)

    dripper = threading.Thread(target=drip)
    dripper.start()
    dripped.wait()
    slowest = 0.0
    answered = True
    for _ in range(5):
        ok, seconds = timed_page(port)
        answered = answered and ok
        slowest = max(slowest, seconds)
    check(answered and slowest < ANSWER_MARGIN_S,
          f"with 200 idle and 8 dripping connections a page is answered in {slowest * 1000:.0f} ms")
    stop.set()
    dripper.join()
    for sock in idle + drips:
        sock.close()


def dripped_head(port):
    sock = connect(port, "127.0.5.1")
    sock.settimeout(1.0)  # paces the drip: a byte, then a second's wait for the server's answer
    head = b"GET /tapdash/ HTTP/1.1\r\nHost: t\r\n" + b"X-Drip: a\r\n" * 20 + b"\r\n"
    sent, closed = 0, False
    while sent < len(head) and not closed:
        try:
            sock.send(head[sent:sent + 1])
            sent += 1
            closed = sock.recv(1) == b""
        except socket.timeout:
            pass
        except OSError:
            closed = True
    sock.close()
    check(closed and sent < len(head),
          f"a head dripped a byte a second is cut off after {sent} of {len(head)} bytes")


def slow_readers(port):
    # Readers of a large file who stop reading cost the server no copy of it (memory checked last).
    socks = [connect(port, f"127.0.6.{i + 1}") for i in range(8)]
    for sock in socks:
        sock.sendall(b"GET /tapdash/play/big.wasm HTTP/1.1\r\nHost: t\r\n\r\n")
    check(all(sock.recv(1) for sock in socks), "8 readers of a large file are answered")
    return socks


def connections_per_address(port):
    # The connections stay open after their reply, so the first 16 keep their places.
    socks = [connect(port, "127.0.3.1") for _ in range(24)]
    for sock in socks:
        try:
            sock.sendall(b"GET /tapdash/ HTTP/1.1\r\nHost: t\r\n\r\n")
        except OSError:
            pass
    answered = sum(1 for sock in socks if one_reply(sock).startswith("HTTP/1.1 200"))
    for sock in socks:
        sock.close()
    check(answered == 16, f"one address gets 16 of 24 connections at once ({answered} answered)")


def endless(port, source, head, limit):
    """Sends `head` then filler up to `limit` bytes; returns (bytes sent, status line)."""
    sock = connect(port, source)
    sent = 0
    filler = b"a" * 65536
    try:
        sock.sendall(head)
        while sent < limit:
            sock.sendall(filler)
            sent += len(filler)
    except OSError:
        pass
    line = one_reply(sock)
    sock.close()
    return sent, line


def greedy_clients(port):
    limit = 64 * 1024 * 1024
    cases = [
        ("a request line without end", b"GET /tapdash/", "414"),
        ("a header without end", b"GET /tapdash/ HTTP/1.1\r\nHost: t\r\nX-A: ", "431"),
        ("headers without end", b"GET /tapdash/ HTTP/1.1\r\nHost: t\r\n" + b"X-A: b\r\n" * 2000,
         "431"),
        ("a chunked body without end",
         b"GET /tapdash/ HTTP/1.1\r\nHost: t\r\nTransfer-Encoding: chunked\r\n\r\n", "413"),
    ]
    for what, head, status in cases:
        sent, line = endless(port, "127.0.4.1", head, limit)
        # Closing on unread data may reset the connection before its reply is read, so a bare
        # close counts as a refusal too: what matters is that the rest was never taken in.
        check(sent < limit and (status in line or not line),
              f"{what} is refused after {sent // 1024} KB: {line or 'closed'}")

    results = []

    def body(n):
        results.append(endless(port, f"127.0.4.{n + 2}",
                               b"GET /tapdash/ HTTP/1.1\r\nHost: t\r\nContent-Length: 500000000\r\n\r\n",
                               limit))

    senders = [threading.Thread(target=body, args=(n,)) for n in range(4)]
    for sender in senders:
        sender.start()
    for sender in senders:
        sender.join()
    check(all(sent < limit and ("413" in line or not line) for sent, line in results),
          "four bodies of 500 MB at once are refused early: " + ", ".join(
              f"{sent // 1024} KB {line or 'closed'}" for sent, line in results))


def main():
    server_exe = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "big.wasm"), "wb") as big:
            big.truncate(16 * 1024 * 1024)
        log = open(os.path.join(work, "access.log"), "w")
        server = subprocess.Popen(
            [server_exe, "--port", "0", "--bind", "127.0.0.1", "--db",
             os.path.join(work, "scores.db"), "--web", work],
            stdout=subprocess.PIPE, stderr=log, text=True)
        try:
            banner = server.stdout.readline()
            if "127.0.0.1:" not in banner:
                print("the server did not start: " + banner)
                return 1
            port = int(banner.split("127.0.0.1:")[1].split("/")[0])
            ok, _ = timed_page(port)
            check(ok, "the page is answered")
            baseline = memory_kb(server.pid, "VmRSS")

            slow_clients(port)
            connections_per_address(port)
            greedy_clients(port)
            dripped_head(port)
            readers = slow_readers(port)

            ok, _ = timed_page(port)
            check(ok, "the page is still answered")
            peak = memory_kb(server.pid, "VmHWM")
            check(peak - baseline < GROWTH_MARGIN_KB,
                  f"memory: {baseline // 1024} MB at rest, at most {peak // 1024} MB under attack")
            for sock in readers:
                sock.close()
        finally:
            server.send_signal(signal.SIGTERM)
            try:
                server.wait(timeout=60)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait()
        check(server.returncode == 0, "the server stops cleanly")
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
