// Keeps Lumen's files in the browser, so that after one visit the game
// starts and plays without a network. The build writes the site's copy of
// this file with its own identity and file list in place of the @ names, so
// that each build gets a service worker of its own: the browser sees the
// new one on the next visit, which keeps the new build's files and drops the
// old ones.
"use strict";

var BUILD = "@LUMEN_BUILD@";
// Each kept file with the size it has in this build: [address, bytes]. The
// page, the manifest and the icons keep their names from build to build;
// the game's script, WebAssembly and data carry the build in their address,
// which is what the page asks for.
var KEPT = @LUMEN_KEPT@;
// How long the page may take to arrive before the kept one is shown: a
// network that is connected but answers nothing (lie-fi) must not hold the
// game back.
var PAGE_TIMEOUT_MS = 4000;

// Caches are shared by every site on one origin: the name says whose.
var CACHE_PREFIX = "lumen " + self.registration.scope + " ";
var CACHE = CACHE_PREFIX + BUILD;

function absolute(address) {
  return new URL(address, self.registration.scope).href;
}

var keptAddresses = new Set(KEPT.map(function (entry) { return absolute(entry[0]); }));
var PAGE = absolute("./");

// One file, kept only when it arrived whole: a failed response, an error
// page or a file cut short must never stand in for the game's own.
function keep(cache, address, size) {
  return fetch(new Request(absolute(address), { cache: "no-cache" })).then(function (response) {
    if (!response.ok) {
      throw new Error(address + " answered " + response.status);
    }
    return response.blob().then(function (body) {
      if (body.size !== size) {
        throw new Error(address + " arrived with " + body.size + " of " + size + " bytes");
      }
      var headers = new Headers();
      headers.set("Content-Type", response.headers.get("Content-Type") || "application/octet-stream");
      return cache.put(absolute(address), new Response(body, { status: 200, headers: headers }));
    });
  });
}

self.addEventListener("install", function (event) {
  // A build whose files cannot all be kept installs nothing: the cache is
  // dropped and the worker before it, if any, stays.
  event.waitUntil(caches.open(CACHE).then(function (cache) {
    return Promise.all(KEPT.map(function (entry) { return keep(cache, entry[0], entry[1]); }));
  }).then(function () {
    // The page that installed it already holds its own files in memory, so
    // the new worker can take over at once.
    return self.skipWaiting();
  }, function (error) {
    return caches.delete(CACHE).then(function () { throw error; });
  }));
});

self.addEventListener("activate", function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name.indexOf(CACHE_PREFIX) === 0 && name !== CACHE;
    }).map(function (name) { return caches.delete(name); }));
  }).then(function () {
    return self.clients.claim();
  }));
});

// The page from the network when it answers in time, so that a new build on
// the server is seen on the next visit; else the kept page.
function page(request) {
  var kept = caches.open(CACHE).then(function (cache) { return cache.match(PAGE); });
  // Asked of the server itself, past any copy in the browser's cache, which
  // could be an older build's.
  var fromNetwork = fetch(new Request(request.url, { cache: "no-cache" }));
  var timeout = new Promise(function (resolve) { setTimeout(resolve, PAGE_TIMEOUT_MS); });
  return Promise.race([fromNetwork, timeout]).then(function (response) {
    if (response && response.ok) {
      return response;
    }
    return kept.then(function (keptPage) {
      return keptPage || response || fromNetwork;
    });
  }, function () {
    return kept.then(function (keptPage) {
      return keptPage || fromNetwork;
    });
  });
}

self.addEventListener("fetch", function (event) {
  var request = event.request;
  if (request.method !== "GET") {
    return;
  }
  var url = new URL(request.url);
  // The page, whatever a link or the home screen adds after its address.
  var bare = url.origin + url.pathname;
  if (request.mode === "navigate" && (bare === PAGE || bare === absolute("index.html"))) {
    event.respondWith(page(request));
    return;
  }
  if (!keptAddresses.has(url.href)) {
    return;
  }
  event.respondWith(caches.open(CACHE).then(function (cache) {
    return cache.match(url.href);
  }).then(function (kept) {
    return kept || fetch(request);
  }));
});
