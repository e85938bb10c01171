#!/usr/bin/python3
"""Serves the browser's game, build-web/site/, on 127.0.0.1 until Ctrl+C.

Usage: serve_web.py [PORT] [--site FOLDER]. A file with compressed copies
beside it (FILE.br, FILE.gz) is sent as the best one the browser accepts,
with Content-Encoding and Vary: Accept-Encoding. Prints "Serving Lumen at
http://127.0.0.1:PORT/" once the server listens. A port of 0 takes a free
one, which the line names.
"""

import argparse
import email.utils
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

    # Compressed copies beside a file (lumen.js.br, lumen.js.gz), best first,
    # as the web build writes them.
    encodings = (("br", ".br"), ("gzip", ".gz"))

    def send_head(self):
        # A file with compressed copies is sent as the best copy that the
        # browser accepts, as static hosts do; the copies are not served
        # under their own names.
        path = self.translate_path(self.path)
        if os.path.isdir(path) and self.path.split("?")[0].endswith("/"):
            path = os.path.join(path, "index.html")
        if path.endswith(tuple(suffix for _, suffix in self.encodings)):
            self.send_error(404, "File not found")
            return None
        if not os.path.isfile(path) or not any(os.path.isfile(path + suffix) for _, suffix in self.encodings):
            return super().send_head()
        accepted = self.accepted_encodings()
        for encoding, suffix in self.encodings:
            if encoding in accepted and os.path.isfile(path + suffix):
                served, self.content_encoding = path + suffix, encoding
                break
        else:
            served, self.content_encoding = path, None
        try:
            body = open(served, "rb")
        except OSError:
            self.send_error(404, "File not found")
            return None
        # A browser revalidating its copy (the service worker keeping the
        # files the page has just downloaded) is told it is still good.
        modified = int(os.path.getmtime(path))
        since = self.headers.get("If-Modified-Since")
        if since and "If-None-Match" not in self.headers:
            try:
                unchanged = email.utils.parsedate_to_datetime(since).timestamp() >= modified
            except (TypeError, ValueError, IndexError, OverflowError):
                unchanged = False
            if unchanged:
                body.close()
                self.send_response(304)
                self.send_header("Vary", "Accept-Encoding")
                self.end_headers()
                return None
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Length", str(os.fstat(body.fileno()).st_size))
        self.send_header("Last-Modified", self.date_time_string(modified))
        if self.content_encoding:
            self.send_header("Content-Encoding", self.content_encoding)
        self.send_header("Vary", "Accept-Encoding")
        self.end_headers()
        return body

    def accepted_encodings(self):
        """The codings the request's Accept-Encoding allows (q=0 refuses one)."""
        accepted = set()
        for part in self.headers.get("Accept-Encoding", "").split(","):
            fields = [field.strip() for field in part.split(";")]
            refused = any(field.replace(" ", "") in ("q=0", "q=0.0", "q=0.00", "q=0.000") for field in fields[1:])
            if fields[0] and not refused:
                accepted.add(fields[0].lower())
        return accepted

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
