#!/usr/bin/python3
"""Serves the browser's game, build-web/site/, on 127.0.0.1 until Ctrl+C.

Usage: serve_web.py [PORT] [--site FOLDER]. Prints "Serving Lumen at
http://127.0.0.1:PORT/" once the server listens. A port of 0 takes a free
one, which the line names.
"""

import argparse
import functools
import http.server
import os
import sys


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    # The WebAssembly type lets the browser compile WebAssembly while it
    # arrives; the manifest's makes the page installable; the script's is
    # what browsers ask a service worker's script to have.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm",
                      ".webmanifest": "application/manifest+json",
                      ".js": "text/javascript"}

    def end_headers(self):
        # The page and its service worker name the build's files: a browser
        # must ask for them afresh each time rather than keep an old build's.
        if self.path.split("?")[0].endswith(("/", ".html", "service-worker.js")):
            self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, format, *args):
        # Requests are not news; the game's own log is the browser's console.
        pass


def main():
    parser = argparse.ArgumentParser(description="Serve the browser's game.")
    parser.add_argument("port", nargs="?", type=int, default=8000)
    default_site = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build-web", "site")
    parser.add_argument("--site", default=default_site)
    options = parser.parse_args()
    if not os.path.isfile(os.path.join(options.site, "index.html")):
        sys.exit("No web build in " + options.site + ": build it first (./play.sh --web does).")
    handler = functools.partial(SiteHandler, directory=options.site)
    with http.server.ThreadingHTTPServer(("127.0.0.1", options.port), handler) as server:
        print("Serving Lumen at http://127.0.0.1:%d/" % server.server_address[1], flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
