// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// Keeps the page working without network after a first visit over http(s).
// The cache is named by a hash of everything in it, written in by the build,
// so a new build is a new worker: it fills a cache of its own while the old
// one still answers, then takes over and drops the old one, whole. Until the
// next visit the page shows what it showed; it never gets a part of each.

const cacheName = "tarvelin-@CACHE_VERSION@";
// What the page and its installation use, each file with the SHA-256 of this
// build's bytes: "index.html=9f2c... manifest.webmanifest=...". The module
// beside the page is for WASI runtimes; the page runs its own inlined copy.
const fileHashes = new Map("@CACHED_FILES@".split(" ").map((entry) => entry.split("=")));

const hex = (buffer) => [...new Uint8Array(buffer)].map((byte) => byte.toString(16).padStart(2, "0")).join("");

async function bodyIfThisBuilds(response, hash) {
  if (!response?.ok) return null;
  const body = await response.arrayBuffer();
  return hex(await crypto.subtle.digest("SHA-256", body)) === hash ? body : null;
}

// A file as this build has it, fetched once: what the browser loaded a moment
// ago is taken from its own cache, the page under whatever address it was
// opened; only a file it lacks, or holds from another build, is fetched anew.
async function thisBuilds(file, hash, pageAddresses) {
  const held = (address) => fetch(new Request(address, { cache: "only-if-cached", mode: "same-origin" })).catch(() => null);
  for (const address of file === "index.html" ? [...pageAddresses, file] : [file]) {
    const response = await held(address);
    const body = await bodyIfThisBuilds(response, hash);
    if (body !== null) return new Response(body, { headers: response.headers });
  }
  // Past the browser's own cache: the folder's copy is this build's.
  return fetch(new Request(file, { cache: "reload" }));
}

self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const pages = await self.clients.matchAll({ type: "window", includeUncontrolled: true });
    const pageAddresses = pages.map((page) => page.url).filter((url) => new URL(url).origin === self.location.origin);
    const cache = await caches.open(cacheName);
    for (const [file, hash] of fileHashes) {
      const response = await thisBuilds(file, hash, pageAddresses);
      if (!response.ok) throw new Error(`${file}: ${response.status}`);
      await cache.put(new Request(file), response);
    }
    await self.skipWaiting();
  })());
});

// The page that installed the worker is served by it from now on: what the
// browser asks for it next (the manifest, the icons) comes from the cache.
self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith("tarvelin-") && name !== cacheName)
    .map((name) => caches.delete(name)))).then(() => self.clients.claim()));
});

// From the cache first; the rates in the address do not matter, and the
// folder's address is the page.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  const url = new URL(event.request.url);
  const key = event.request.mode === "navigate" && url.pathname.endsWith("/") ? new URL("index.html", url).href : event.request;
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(key, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
