#!/usr/bin/env python3
"""Runs a command with the board simulator beside it.

  run_with_sim.py [--config boards.json] [--log requests.jsonl] -- command args...

Starts boardsim.py on 127.0.0.1 and a free port, waits until it listens,
and runs the command with
  ZEVA_SIM_PORT      the simulator's port
  ZEVA_SIM_DEADPORT  a port on 127.0.0.1 where nothing listens
and without proxy variables (Wine's WinINet would send even 127.0.0.1
through a proxy named in http_proxy). Stops the simulator afterwards and
ends with the command's exit code.
"""

import argparse
import os
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def free_port():
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def main():
    argv = sys.argv[1:]
    if "--" not in argv:
        print("usage: run_with_sim.py [--config FILE] [--log FILE] -- command...", file=sys.stderr)
        return 2
    cut = argv.index("--")
    ap = argparse.ArgumentParser()
    ap.add_argument("--config")
    ap.add_argument("--log")
    args = ap.parse_args(argv[:cut])
    command = argv[cut + 1:]

    with tempfile.TemporaryDirectory(prefix="boardsim") as tmp:
        port_file = os.path.join(tmp, "port")
        sim_cmd = [sys.executable, os.path.join(HERE, "boardsim.py"), "--port-file", port_file]
        if args.config:
            sim_cmd += ["--config", args.config]
        if args.log:
            sim_cmd += ["--log", args.log]
        sim = subprocess.Popen(sim_cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        try:
            deadline = time.time() + 20
            while not os.path.exists(port_file):
                if sim.poll() is not None or time.time() > deadline:
                    print("run_with_sim: the simulator did not start", file=sys.stderr)
                    return 1
                time.sleep(0.05)
            with open(port_file) as f:
                port = f.read().strip()
            env = dict(os.environ)
            for k in list(env):
                if k.lower() in ("http_proxy", "https_proxy", "all_proxy", "ftp_proxy", "no_proxy"):
                    del env[k]
            env["ZEVA_SIM_PORT"] = port
            env["ZEVA_SIM_DEADPORT"] = str(free_port())
            return subprocess.call(command, env=env)
        finally:
            sim.terminate()
            try:
                sim.wait(5)
            except subprocess.TimeoutExpired:
                sim.kill()


if __name__ == "__main__":
    sys.exit(main())
