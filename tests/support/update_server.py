#!/usr/bin/python3
"""A small HTTP server on 127.0.0.1 for the update tests: serves the files of a
folder; a request under "/stall/" sends its headers and the first bytes, then
waits without sending more. Prints its port on the first line."""
import http.server
import os
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/stall/"):
            self.send_response(200)
            self.send_header("Content-Length", "2500000")
            self.end_headers()
            self.wfile.write(b"x" * 1000)
            self.wfile.flush()
            time.sleep(60)
            return
        super().do_GET()

    def log_message(self, *args):
        pass


def main():
    os.chdir(sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
