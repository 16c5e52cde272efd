#!/usr/bin/python3
"""A small HTTP server on 127.0.0.1 for the update tests: serves the files of a
folder, and a few paths that misbehave on purpose:

  /stall/...         headers of a 2,500,000-byte file and its first 1000 bytes, then nothing, for ever
  /drip/...          headers without a length, then 20 bytes a second, for ever
  /big/N             N bytes without a stated length (a check file far too large)
  /redirect/BASE/... 302 to BASE (percent-encoded, slashes too) followed by the rest of the path

With --tls CERT KEY it speaks https. Prints its port on the first line."""
import http.server
import os
import ssl
import sys
import time
import urllib.parse

FOREVER = 3600


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        path = urllib.parse.urlsplit(self.path)
        try:
            if path.path.startswith("/stall/"):
                self.stall()
            elif path.path.startswith("/drip/"):
                self.drip()
            elif path.path.startswith("/big/"):
                self.big(int(path.path[len("/big/"):]))
            elif path.path.startswith("/redirect/"):
                base, _, rest = self.path[len("/redirect/"):].partition("/")
                self.send_response(302)
                self.send_header("Location", urllib.parse.unquote(base) + rest)
                self.send_header("Content-Length", "0")
                self.end_headers()
            else:
                super().do_GET()
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            pass  # the client gave up, as it should

    def stall(self):
        self.send_response(200)
        self.send_header("Content-Length", "2500000")
        self.end_headers()
        self.wfile.write(b"x" * 1000)
        self.wfile.flush()
        time.sleep(FOREVER)

    def drip(self):
        self.send_response(200)
        self.end_headers()
        for _ in range(FOREVER):
            self.wfile.write(b"[Quenvar]\r\n; drip\r\n")
            self.wfile.flush()
            time.sleep(1)

    def big(self, size):
        self.send_response(200)
        self.end_headers()
        line = b"; " + b"x" * 1021 + b"\r\n"
        while size > 0:
            self.wfile.write(line[:size])
            size -= len(line)

    def log_message(self, *args):
        pass


def main():
    os.chdir(sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if len(sys.argv) >= 5 and sys.argv[2] == "--tls":
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[3], sys.argv[4])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
