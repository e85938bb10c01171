#!/usr/bin/python3
"""The site's server, tools/serve_web.py, as browsers and the service worker
meet it: each file sent as the best compressed copy that the request
accepts, with the headers that let caches keep the copies apart, and a
revalidation of an unchanged file answered without its bytes."""

import email.utils
import http.client
import http.server
import os
import sys
import tempfile
import threading
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tools"))
import serve_web  # noqa: E402  (found through the path above)

FILES = {
    "index.html": b"<!doctype html><title>page</title>",
    "index.html.gz": b"page, gzip",
    "lumen.js": b"plain script " * 50,
    "lumen.js.gz": b"script, gzip",
    "lumen.js.br": b"script, brotli",
    "lumen-192.png": b"\x89PNG icon",
    "broken.data.gz": b"a copy whose file is gone",
}


class ServeWebTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site = tempfile.TemporaryDirectory()
        for name, body in FILES.items():
            with open(os.path.join(cls.site.name, name), "wb") as out:
                out.write(body)
        handler = lambda *arguments: serve_web.SiteHandler(*arguments, directory=cls.site.name)
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()
        cls.site.cleanup()

    def get(self, path, **headers):
        connection = http.client.HTTPConnection("127.0.0.1", self.server.server_address[1])
        connection.request("GET", path, headers=headers)
        response = connection.getresponse()
        body = response.read()
        connection.close()
        return response.status, response.headers, body

    def test_sends_the_best_copy_the_request_accepts(self):
        for accepted, expected in (("gzip, deflate, br", "br"), ("gzip", "gzip"), ("br;q=0, gzip", "gzip"),
                                   ("br; q=0.0, gzip;q=0", None), ("", None), ("identity", None)):
            status, headers, body = self.get("/lumen.js?v=0123", **{"Accept-Encoding": accepted})
            self.assertEqual(status, 200, accepted)
            self.assertEqual(headers.get("Content-Encoding"), expected, accepted)
            suffix = {"br": ".br", "gzip": ".gz", None: ""}[expected]
            self.assertEqual(body, FILES["lumen.js" + suffix], accepted)
            self.assertEqual(int(headers["Content-Length"]), len(body))
            # The type is the file's, whichever copy is sent; caches keep
            # each coding apart.
            self.assertEqual(headers["Content-Type"], "text/javascript")
            self.assertEqual(headers["Vary"], "Accept-Encoding")

        # The page, asked for by its folder, is sent compressed too and never
        # kept without asking again; a file with no copies is sent as it is.
        status, headers, body = self.get("/", **{"Accept-Encoding": "gzip, br"})
        self.assertEqual((status, body, headers["Content-Encoding"]), (200, FILES["index.html.gz"], "gzip"))
        self.assertEqual(headers["Cache-Control"], "no-cache")
        status, headers, body = self.get("/lumen-192.png", **{"Accept-Encoding": "gzip, br"})
        self.assertEqual((status, body, headers.get("Content-Encoding")), (200, FILES["lumen-192.png"], None))

        # Copies are not files of the site, and a copy never stands in for
        # a file that is gone.
        self.assertEqual(self.get("/lumen.js.gz")[0], 404)
        self.assertEqual(self.get("/broken.data", **{"Accept-Encoding": "gzip"})[0], 404)

    def test_an_unchanged_file_is_revalidated_without_its_bytes(self):
        modified = os.path.getmtime(os.path.join(self.site.name, "lumen.js"))
        later = email.utils.formatdate(modified + 60, usegmt=True)
        earlier = email.utils.formatdate(modified - 60, usegmt=True)
        status, headers, body = self.get("/lumen.js", **{"Accept-Encoding": "br", "If-Modified-Since": later})
        self.assertEqual((status, body), (304, b""))
        self.assertEqual(headers["Vary"], "Accept-Encoding")
        status, _, body = self.get("/lumen.js", **{"Accept-Encoding": "br", "If-Modified-Since": earlier})
        self.assertEqual((status, body), (200, FILES["lumen.js.br"]))
        status, _, body = self.get("/lumen.js", **{"Accept-Encoding": "br", "If-Modified-Since": "not a date"})
        self.assertEqual((status, body), (200, FILES["lumen.js.br"]))


if __name__ == "__main__":
    unittest.main()
