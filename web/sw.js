// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// Keeps the page working without network after a first visit over http(s).
// The cache is named by a hash of everything in it, written in by the build,
// so a new build is a new worker: it fills a cache of its own while the old
// one still answers, then takes over and drops the old one, whole. Until the
// next visit the page shows what it showed; it never gets a part of each.

const cacheName = "tarvelin-@CACHE_VERSION@";
const files = ["index.html", "tarvelin.wasm", "manifest.webmanifest", "icon-192.png", "icon-512.png"];

self.addEventListener("install", (event) => {
  // Past the browser's own cache: the files must be this build's.
  event.waitUntil(caches.open(cacheName)
    .then((cache) => cache.addAll(files.map((file) => new Request(file, { cache: "reload" }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith("tarvelin-") && name !== cacheName)
    .map((name) => caches.delete(name)))));
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
