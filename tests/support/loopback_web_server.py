#!/usr/bin/env python3
"""Serves the web page tests' pages on 127.0.0.1 only.

Prints the port on its first line, then serves until its standard input
closes (the test ended) or for at most two minutes.
"""
import http.server
import socketserver
import sys
import threading
import time

MAX_LIFETIME_SECONDS = 120
ENDLESS_TRICKLE_SECONDS = 30

UTF8_PAGE = """<!DOCTYPE html><html><head><title>Title words</title>
<style>p { color: red } .hidden-style-text {}</style>
<script>var hiddenScriptText = 1;</script></head>
<body><h1>Caf\u00e9 \u20ac menu</h1>
<p>First   paragraph
with <b>bold</b> words</p><noscript>hiddenNoscriptText</noscript>
<table><tr><th>Name</th><th>Price</th></tr><tr><td>Tea</td><td>2,50</td></tr></table>
<pre>  kept   spaces
line two</pre>one<br>two
<template>hiddenTemplateText</template></body></html>"""

CP1251_PAGE = ('<html><head><meta charset="windows-1251"><title>x</title></head>'
               '<body><p>\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440</p></body></html>')

LATIN1_PAGE = "<html><body><p>Gar\u00e7on \u00e0 la cr\u00e8me</p></body></html>"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_page(self, status, body, content_type):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, target):
        self.send_response(302)
        self.send_header("Location", target)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_GET(self):
        routes = {
            "/utf8": lambda: self.send_page(200, UTF8_PAGE.encode("utf-8"), "text/html; charset=utf-8"),
            "/cp1251": lambda: self.send_page(200, CP1251_PAGE.encode("cp1251"), "text/html"),
            "/latin1": lambda: self.send_page(200, LATIN1_PAGE.encode("latin-1"), "text/html; charset=ISO-8859-1"),
            "/redirect": lambda: self.redirect("/utf8"),
            "/loop": lambda: self.redirect("/loop"),
            "/missing": lambda: self.send_page(404, b"<html><body>gone</body></html>", "text/html"),
            "/endless": self.endless,
            "/huge": self.huge,
        }
        routes.get(self.path, lambda: self.send_page(404, b"no such page", "text/plain"))()

    def endless(self):
        """Headers, then a byte now and then: a response that never ends."""
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", "1000000")
        self.end_headers()
        deadline = time.monotonic() + ENDLESS_TRICKLE_SECONDS
        try:
            while time.monotonic() < deadline:
                self.wfile.write(b"<p>x</p>")
                self.wfile.flush()
                time.sleep(0.2)
        except OSError:
            pass

    def huge(self):
        """A page without end that streams as fast as it can."""
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.end_headers()
        chunk = b"<p>" + b"y" * 65536 + b"</p>"
        sent = 0
        try:
            while sent < (256 << 20):
                self.wfile.write(chunk)
                sent += len(chunk)
        except OSError:
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    stopper = threading.Thread(target=sys.stdin.read, daemon=True)
    stopper.start()
    stopper.join(MAX_LIFETIME_SECONDS)
    server.shutdown()


if __name__ == "__main__":
    main()
