#!/usr/bin/env python3
"""Small HTTP(S) server for the download tests, on the loopback only.

Usage: http_test_server.py DIR PORTFILE [CERT KEY]
Serves the files of DIR under /arquivos/, plus a few misbehaving pages.
Writes its port to PORTFILE and ends by itself after 30 seconds.
"""
import http.server
import os
import socket
import ssl
import sys
import threading
import time

ROOT, PORT_FILE = sys.argv[1], sys.argv[2]
CERT = sys.argv[3:5]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def head(self, status, headers):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()

    def do_GET(self):
        path = self.path
        if path.startswith("/arquivos/"):
            name = os.path.join(ROOT, os.path.basename(path))
            if not os.path.isfile(name):
                return self.head(404, [])
            data = open(name, "rb").read()
            self.head(200, [("Content-Type", "text/plain"), ("Content-Length", str(len(data)))])
            self.wfile.write(data)
        elif path.startswith("/desvio/"):
            # /desvio/N/rest: N more redirects, then /rest
            parts = path.split("/", 3)
            n = int(parts[2])
            target = "/desvio/%d/%s" % (n - 1, parts[3]) if n > 1 else "/" + parts[3]
            self.head(302, [("Location", target)])
        elif path == "/parahttp":
            self.head(301, [("Location", "http://127.0.0.1:1/arquivos/x")])
        elif path == "/curto":
            self.head(200, [("Content-Type", "text/plain"), ("Content-Length", "1000")])
            self.wfile.write(b"so um pouco")
        elif path == "/parado":
            self.head(200, [("Content-Type", "text/plain")])
            self.wfile.write(b"abc")
            self.wfile.flush()
            time.sleep(3)
        elif path == "/cabecalhos":
            self.send_response(200)
            for i in range(2000):
                self.send_header("X-Enchimento-%d" % i, "x" * 50)
            self.end_headers()
            self.wfile.write(b"corpo")
        elif path == "/gotejando":
            # A whole body announced, then one byte at a time, slowly.
            self.head(200, [("Content-Type", "text/plain"), ("Content-Length", "40")])
            for _ in range(40):
                self.wfile.write(b"x")
                time.sleep(0.2)
        elif path == "/cabeca_lenta":
            # A head that never ends in time, a byte at a time.
            for byte in b"HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabc":
                self.wfile.write(bytes([byte]))
                time.sleep(0.1)
        elif path == "/negativo":
            self.head(200, [("Content-Length", "-5")])
            self.wfile.write(b"abc")
        elif path == "/enorme":
            self.head(200, [("Content-Length", "999999999999")])
            self.wfile.write(b"abc")
        else:
            self.head(404, [])


class Server(http.server.ThreadingHTTPServer):
    address_family = socket.AF_INET6
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # clients that hang up early are part of the tests

    def server_bind(self):
        self.socket.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
        super().server_bind()


server = Server(("::", 0), Handler)
if CERT:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(CERT[0], CERT[1])
    server.socket = context.wrap_socket(server.socket, server_side=True)
with open(PORT_FILE + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(PORT_FILE + ".tmp", PORT_FILE)
threading.Timer(30, server.shutdown).start()
server.serve_forever()
