#!/usr/bin/env python3
"""Runs `zentorak-cli gps --timeout 3000` against a port whose listen queue is full, as with a
gpsd that has stopped accepting, and checks that the start fails within the time-out."""
import socket
import subprocess
import sys
import time

cli = sys.argv[1]
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(0)
port = listener.getsockname()[1]
clients = []
for _ in range(16):  # connect until one is left hanging: the queue is full then
    client = socket.socket()
    client.setblocking(False)
    clients.append(client)
    if client.connect_ex(("127.0.0.1", port)) == 0:
        continue
    time.sleep(0.3)
    if client.connect_ex(("127.0.0.1", port)) not in (0, 106):  # 106: EISCONN
        break
else:
    sys.exit("could not fill the listen queue")

start = time.monotonic()
run = subprocess.run([cli, "gps", "--port", str(port), "--timeout", "3000"],
                     capture_output=True, text=True, timeout=10)
elapsed = time.monotonic() - start
print(run.stdout, end="")
if elapsed > 3.0:
    sys.exit(f"took {elapsed:.1f} s")
if run.returncode != 1 or run.stdout != '{"result": -105}\n':
    sys.exit(f"exit {run.returncode}")
