// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// Keeps the page working without network after a first visit over http(s).
// The cache is named by a hash of everything in it, written in by the build,
// so a new build is a new worker: it fills a cache of its own while the old
// one still answers, then takes over and drops the old one, whole. Until the
// next visit the page shows what it showed; it never gets a part of each.

const cacheName = "tarvelin-@CACHE_VERSION@";
// What the page and its installation use, each file with the SHA-256 of this
// build's bytes: "index.html=9f2c... manifest.webmanifest=...". The manifest
// holds its icons. The module beside the page is for WASI runtimes; the page
// runs its own inlined copy.
const fileHashes = new Map("@CACHED_FILES@".split(" ").map((entry) => entry.split("=")));

const hex = (buffer) => [...new Uint8Array(buffer)].map((byte) => byte.toString(16).padStart(2, "0")).join("");

// A response as this build has it, or null: a server may hold a newer build.
async function thisBuilds(response, hash) {
  if (!response?.ok) return null;
  const body = await response.arrayBuffer();
  if (hex(await crypto.subtle.digest("SHA-256", body)) !== hash) return null;
  return new Response(body, { headers: response.headers });
}

// A file, fetched once: what the browser loaded is taken from its own cache
// (the page under whatever address it was opened), waiting up to a few
// seconds for what it is still loading; only what it lacks, or holds from
// another build, is fetched anew.
async function fetchOnce(file, addresses = [file], seconds = 0) {
  const hash = fileHashes.get(file);
  for (let waited = 0; waited <= seconds * 5; ++waited) {
    if (waited > 0) await new Promise((resolve) => { setTimeout(resolve, 200); });
    for (const address of addresses) {
      const held = await fetch(new Request(address, { cache: "only-if-cached", mode: "same-origin" })).catch(() => null);
      const response = await thisBuilds(held, hash);
      if (response !== null) return response;
    }
  }
  return thisBuilds(await fetch(new Request(file, { cache: "reload" })), hash);
}

// Everything the page ships, for visits without network: the page, which
// the browser has just loaded, and the manifest, which it asks for a moment
// after the page. Fetched here at once, the manifest would come twice.
self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const pages = await self.clients.matchAll({ type: "window", includeUncontrolled: true });
    const addresses = pages.map((page) => page.url).filter((url) => new URL(url).origin === self.location.origin);
    const cache = await caches.open(cacheName);
    for (const [file, from, seconds] of [["index.html", [...addresses, "index.html"], 0], ["manifest.webmanifest", undefined, 3]]) {
      const response = await fetchOnce(file, from, seconds);
      if (response === null) throw new Error(`${file}: not this build's`);
      await cache.put(new Request(file), response);
    }
    await self.skipWaiting();
  })());
});

// The page that installed the worker is served by it from now on.
self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith("tarvelin-") && name !== cacheName)
    .map((name) => caches.delete(name)))).then(() => self.clients.claim()));
});

// From the cache first; the rates in the address do not matter, and the
// folder's address is the page. A file of this build not yet cached (the
// install was cut short) is cached as it passes.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  const url = new URL(event.request.url);
  const key = event.request.mode === "navigate" && url.pathname.endsWith("/") ? new URL("index.html", url).href : event.request;
  const file = url.origin === self.location.origin ? url.pathname.split("/").pop() : "";
  event.respondWith((async () => {
    const cache = await caches.open(cacheName);
    const cached = await cache.match(key, { ignoreSearch: true });
    if (cached) return cached;
    if (!fileHashes.has(file) || file === "index.html") return fetch(event.request);
    const response = await fetchOnce(file);
    if (response === null) return fetch(event.request);
    await cache.put(new Request(file), response.clone());
    return response;
  })());
});
