#!/usr/bin/env python3
"""Local board simulator: the peer of every network test and the demo server.

Serves, on 127.0.0.1 and a free port (or --port):
  * ZVT boards        GET  <path>?point=<pointer>  -> ZVT answer with #UU: (and #RP:DATE)
                      POST <path>                  -> a new article (title, name, email, parent, comment)
  * Orbiloom boards   GET  <path>?point=-N | K     -> "rnall.cgi" listing in Shift-JIS
                      POST <path>                  -> a new article (category, title, name, follow, comment)
  * raw answers       GET  <path>                  -> fixed bytes, for edge cases
Every board may ask for HTTP Basic authentication, answer late, break off in
the middle of its body, or stall; a POST may be answered with an
"<!-- ERROR:... -->" comment.

Every request (control requests under /_sim/ excepted) is recorded: as one
JSON object a line in --log, and as text at GET /_sim/requests?prefix=/path
(one request a line: method, target, user:password or "-", Referer,
User-Agent, Pragma/Cache-Control, body; fields separated by tabs, the body
percent-encoded). The listening port is printed ("boardsim: port N") and
written to --port-file.

Boards come from --config (JSON, below) or, without it, a built-in demo set.
  {"boards": [
    {"path": "/zvt/demo/board.cgi", "type": "zvt", "title": "...",
     "pointer": "number" | "date", "articles": [
        {"no": 1, "parent": null, "date": "2004/05/06", "time": "21:07",
         "title": "...", "name": "...", "text": "line\\nline\\n",
         "image": "picture file name, optional"}]},
    {"path": "/orb/demo/rnall.cgi", "type": "orbiloom", "title": "...",
     "articles": [{"no": 1, "category": "...", "parent": null, ...}]},
    {"path": "/raw/x", "type": "raw", "body": "text" | "body_b64": "...",
     "status": 200}],
   common keys: "auth": ["user", "pass"], "delay": seconds before the answer,
   "fail": "cut" (close after half the body) | "stall" (pause "stall" seconds
   after half the body), "stall": seconds, "post_error": text,
   "post_body": text answered to every post as it is,
   "proxy_auth": ["user", "pass"] (posts answered 407 without these proxy
   credentials; requests in the absolute form a proxy gets are served too)}
"""

import argparse
import base64
import datetime
import json
import os
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ENC = "cp932"
ORB_SEP = "-\t-\t-\t-\t-\t-\t-\n"


def demo_boards():
    now = datetime.datetime(2004, 5, 6, 21, 0)

    def when(i):
        t = now + datetime.timedelta(minutes=7 * i)
        return t.strftime("%Y/%m/%d"), t.strftime("%H:%M")

    zvt = []
    for i in range(1, 13):
        d, t = when(i)
        zvt.append({"no": i, "parent": (i - 1 if i % 3 == 0 else None), "date": d, "time": t,
                    "title": "テスト記事 %d" % i if i % 3 else "Re: テスト記事 %d" % (i - 1),
                    "name": ["山田", "鈴木", "佐藤"][i % 3],
                    "text": "こんにちは。記事 %d の本文です。\n二行目です。\n" % i})
        if i % 4 != 0:   # most articles carry a picture (made by tools/pictures)
            zvt[-1]["image"] = "demo%d.%s" % (i % 5 + 1, "bmp" if i % 5 == 4 else "png")
    cats = ["雑談", "質問"]
    orb = []
    for i in range(1, 11):
        d, t = when(i)
        orb.append({"no": 100 + i, "category": cats[i % 2], "parent": (100 + i - 2 if i > 2 and i % 4 == 0 else None),
                    "date": d[2:], "time": t, "title": "話題 %d" % i, "name": ["田中", "高橋"][i % 2],
                    "text": "本文 %d 行目。\nソース表示の確認。\n" % i})
    return [
        {"path": "/zvt/demo/board.cgi", "type": "zvt", "title": "ZVTデモ掲示板", "pointer": "number", "articles": zvt},
        {"path": "/zvt/dated/board.cgi", "type": "zvt", "title": "日付ポインタ掲示板", "pointer": "date",
         "articles": [dict(a) for a in zvt[:6]]},
        {"path": "/orb/demo/rnall.cgi", "type": "orbiloom", "title": "Orbiloomデモ", "articles": orb},
        {"path": "/zvt/private/board.cgi", "type": "zvt", "title": "会員制掲示板", "pointer": "number",
         "auth": ["member", "secret"], "articles": [dict(a) for a in zvt[:3]]},
        {"path": "/stillmark/index.html", "type": "raw", "body": "<html><body>Stillmark</body></html>"},
    ]


class Sim:
    def __init__(self, boards, log_path):
        self.lock = threading.Lock()
        self.boards = {b["path"]: b for b in boards}
        self.requests = []
        self.log = open(log_path, "a", encoding="utf-8") if log_path else None
        self.port = 0

    def record(self, entry):
        with self.lock:
            self.requests.append(entry)
            if self.log:
                self.log.write(json.dumps(entry, ensure_ascii=False) + "\n")
                self.log.flush()


def two_digit(date):
    """2004/05/06 -> 04/05/06 (the form ZVT writes)."""
    parts = date.split("/")
    if len(parts) == 3 and len(parts[0]) == 4:
        return "%02d/%s/%s" % (int(parts[0]) % 100, parts[1], parts[2])
    return date


def four_digit(date):
    parts = date.split("/")
    if len(parts) == 3 and len(parts[0]) == 2:
        y = int(parts[0])
        return "%d/%s/%s" % ((1900 if y >= 70 else 2000) + y, parts[1], parts[2])
    return date


def zvt_answer(board, point, port):
    lines = ["#T:%s\n" % board.get("title", "")]
    url = "http://127.0.0.1:%d%s" % (port, board["path"])
    lines.append("#UU:%s\n" % url)
    dated = board.get("pointer") == "date"
    if dated:
        lines.append("#RP:DATE\n")
    lines.append("#P:POST,$c,title=$T&name=$N&email=$E&parent=&comment=$M\n")
    lines.append("#F:POST,$c,title=$T&name=$N&email=$E&parent=$Sr&comment=$M\n")
    for a in board["articles"]:
        if dated:
            key = "%s,%s" % (four_digit(a.get("date", "")), a.get("time", ""))
            if point and key < point:
                continue
        else:
            try:
                if point and a["no"] < int(point):
                    continue
            except ValueError:
                pass
        parent = "*" if a.get("parent") is None else str(a["parent"])
        lines.append("S:%d,%s,%s,%s\n" % (a["no"], parent, two_digit(a.get("date", "")), a.get("time", "")))
        lines.append("T:%s\n" % a.get("title", ""))
        lines.append("N:%s\n" % a.get("name", ""))
        if a.get("image"):
            lines.append("I:%s\n" % a["image"])
        text = a.get("text", "")
        if not text.endswith("\n"):
            text += "\n"
        lines.append("M:%s.\n" % text)
    return "".join(lines).encode(ENC, "replace")


def orbiloom_answer(board, point):
    arts = board["articles"]
    serial = max([a["no"] for a in arts] + [board.get("serial", 0)])
    try:
        p = int(point)
    except ValueError:
        p = -100
    chosen = arts[p:] if p < 0 else [a for a in arts if a["no"] > p]
    if p < 0 and -p >= len(arts):
        chosen = list(arts)
    out = ["(host)Serial-number:%d\n" % serial, "No.0 ｢%s｣\n" % board.get("title", "")]
    byno = {a["no"]: a for a in arts}
    for a in chosen:
        out.append(ORB_SEP)
        out.append("%s(%d/%d) %s %s %s\n" % (a.get("category", ""), a["no"], serial, a.get("date", ""),
                                            a.get("time", ""), a.get("title", "")))
        if a.get("parent") is not None:
            parent = byno.get(a["parent"], {})
            out.append(" &lt;%d:%s&gt;\n" % (a["parent"], parent.get("name", "")))
        text = a.get("text", "").rstrip("\n")
        out.append("  %dbytes %s \n" % (len(text.encode(ENC, "replace")), a.get("name", "")))
        out.append(text + "\n")
    out.append("読み終わりました。\n")
    return "".join(out).encode(ENC, "replace")


class Handler(BaseHTTPRequestHandler):
    server_version = "boardsim/1.0"
    protocol_version = "HTTP/1.0"

    def log_message(self, fmt, *args):
        pass

    @property
    def sim(self):
        return self.server.sim

    def split(self):
        target = self.path
        if target.startswith("http://"):   # absolute form, as sent to a proxy
            target = "/" + target[7:].partition("/")[2]
        path, _, query = target.partition("?")
        return path, query

    def credentials(self):
        auth = self.headers.get("Authorization", "")
        if auth.lower().startswith("basic "):
            try:
                return base64.b64decode(auth[6:].strip()).decode("latin-1")
            except (ValueError, UnicodeDecodeError):
                return "?"
        return None

    def record(self, body=b""):
        path, query = self.split()
        entry = {"method": self.command, "path": path, "query": query, "target": self.path,
                 "headers": {k: v for k, v in self.headers.items()},
                 "auth": self.credentials(), "body": body.decode("latin-1"), "time": time.time()}
        self.sim.record(entry)

    def answer(self, status, body, ctype="text/plain; charset=Shift_JIS", extra=None):
        board = getattr(self, "board", None) or {}
        fail = board.get("fail")
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        for k, v in (extra or {}).items():
            self.send_header(k, v)
        self.end_headers()
        if self.command == "HEAD":
            return
        if fail in ("cut", "stall") and status == 200:
            half = body[: max(1, len(body) // 2)]
            self.wfile.write(half)
            self.wfile.flush()
            if fail == "stall":
                time.sleep(float(board.get("stall", 3)))
                try:
                    self.wfile.write(body[len(half):])
                except OSError:
                    pass
            self.close_connection = True
            return
        self.wfile.write(body)

    def authorised(self, board):
        auth = board.get("auth")
        if not auth:
            return True
        if self.credentials() == "%s:%s" % (auth[0], auth[1]):
            return True
        self.answer(401, "<html><body>401 Authorization Required</body></html>".encode(),
                    "text/html", {"WWW-Authenticate": 'Basic realm="boardsim"'})
        return False

    def proxy_authorised(self, board):
        auth = board.get("proxy_auth")
        if not auth:
            return True
        got = self.headers.get("Proxy-Authorization", "")
        if got.lower().startswith("basic "):
            try:
                if base64.b64decode(got[6:].strip()).decode("latin-1") == "%s:%s" % (auth[0], auth[1]):
                    return True
            except ValueError:
                pass
        self.answer(407, b"<html><body>407 Proxy Authentication Required</body></html>", "text/html",
                    {"Proxy-Authenticate": 'Basic realm="boardsim proxy"'})
        return False

    def control(self, path, query):
        q = urllib.parse.parse_qs(query)
        if path == "/_sim/ping":
            return self.answer(200, b"ok")
        if path == "/_sim/requests":
            prefix = q.get("prefix", [""])[0]
            rows = []
            with self.sim.lock:
                reqs = list(self.sim.requests)
            for r in reqs:
                if not r["path"].startswith(prefix):
                    continue
                h = {k.lower(): v for k, v in r["headers"].items()}
                cache = "; ".join("%s: %s" % (k, h[k]) for k in ("pragma", "cache-control") if k in h) or "-"
                body = urllib.parse.quote(r["body"].encode("latin-1"), safe="")
                rows.append("\t".join([r["method"], r["target"], r["auth"] or "-", h.get("referer", "-"),
                                       h.get("user-agent", "-"), cache, body]))
            return self.answer(200, "".join(row + "\n" for row in rows).encode("latin-1", "replace"))
        self.answer(404, b"unknown control")

    def do_GET(self):
        path, query = self.split()
        if path.startswith("/_sim/"):
            return self.control(path, query)
        self.record()
        board = self.board = self.sim.boards.get(path)
        if board is None:
            return self.answer(404, b"<html><body>404 Not Found</body></html>", "text/html")
        if board.get("delay"):
            time.sleep(float(board["delay"]))
        if not self.authorised(board):
            return
        raw = urllib.parse.unquote_to_bytes(query)
        point = b""
        for part in raw.split(b"&"):
            if part.startswith(b"point="):
                point = part[6:]
        point = point.decode(ENC, "replace")
        kind = board.get("type")
        if kind == "zvt":
            body = zvt_answer(board, point, self.sim.port)
        elif kind == "orbiloom":
            body = orbiloom_answer(board, point)
        elif "body_b64" in board:
            body = base64.b64decode(board["body_b64"])
        else:
            body = board.get("body", "").encode(ENC, "replace")
        self.answer(int(board.get("status", 200)), body,
                    "text/html; charset=Shift_JIS" if kind in ("raw", "orbiloom") else "text/plain; charset=Shift_JIS")

    def do_POST(self):
        path, query = self.split()
        length = int(self.headers.get("Content-Length", 0) or 0)
        body = self.rfile.read(length) if length > 0 else b""
        self.record(body)
        board = self.board = self.sim.boards.get(path)
        if board is None:
            return self.answer(404, b"<html><body>404 Not Found</body></html>", "text/html")
        if not self.proxy_authorised(board) or not self.authorised(board):
            return
        self.board = {}   # a post is always answered whole
        if board.get("post_error"):
            page = "<html><body><!-- ERROR:%s --></body></html>" % board["post_error"]
            return self.answer(200, page.encode(ENC, "replace"), "text/html; charset=Shift_JIS")
        if board.get("post_body") is not None:
            return self.answer(200, board["post_body"].encode(ENC, "replace"), "text/html; charset=Shift_JIS")
        charset = "euc_jp" if b"charset=euc" in self.headers.get("Content-Type", "").lower().encode() else ENC
        form = {k: v[0] for k, v in urllib.parse.parse_qs(body.decode("ascii", "replace"), keep_blank_values=True,
                                                          encoding=charset, errors="replace").items()}
        field = lambda k: form.get(k, "")
        with self.sim.lock:
            arts = board.setdefault("articles", [])
            no = max([a["no"] for a in arts] + [board.get("serial", 0)]) + 1
            parent = field("parent") or field("follow")
            now = datetime.datetime.now()
            arts.append({"no": no, "parent": int(parent) if parent.isdigit() else None,
                         "category": field("category"), "title": field("title"), "name": field("name"),
                         "date": now.strftime("%Y/%m/%d" if board.get("type") == "zvt" else "%y/%m/%d"),
                         "time": now.strftime("%H:%M"), "text": field("comment").replace("\r\n", "\n")})
        self.answer(200, "<html><body><!-- 書き込みました --></body></html>".encode(ENC), "text/html; charset=Shift_JIS")

    do_HEAD = do_GET


def main(argv=None):
    ap = argparse.ArgumentParser(description="Local board simulator (127.0.0.1 only).")
    ap.add_argument("--port", type=int, default=0, help="port to listen on (0: a free one)")
    ap.add_argument("--port-file", help="write the port number here once listening")
    ap.add_argument("--log", help="append every request as a JSON line to this file")
    ap.add_argument("--config", help="JSON file with the boards (default: the demo boards)")
    args = ap.parse_args(argv)

    boards = demo_boards()
    if args.config:
        with open(args.config, encoding="utf-8") as f:
            boards = json.load(f)["boards"]
    sim = Sim(boards, args.log)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.sim = sim
    sim.port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write("%d\n" % sim.port)
        os.replace(tmp, args.port_file)
    print("boardsim: port %d" % sim.port, flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
