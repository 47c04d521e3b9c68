// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// What the browser tests and the benchmark share: a static file server on
// the loopback interface, the browser, the native program's decoded output.
import { spawnSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { readFile } from "node:fs/promises";
import { createServer } from "node:http";
import { extname, join, normalize } from "node:path";

const contentTypes = {
  ".html": "text/html; charset=utf-8",
  ".wasm": "application/wasm",
  ".js": "text/javascript; charset=utf-8",
  ".webmanifest": "application/manifest+json",
  ".png": "image/png",
};

// Serves the folder on 127.0.0.1 at a free port; served[] lists each
// response's path and size. With a pause in milliseconds, a page arrives as
// over a slow network: up to its first heading, the pause, then the rest.
export async function serveFolder(folder, pause = 0) {
  const served = [];
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    const file = join(folder, path.endsWith("/") ? `${path}index.html` : path);
    try {
      const body = await readFile(file);
      served.push({ path, body });
      response.writeHead(200, { "Content-Type": contentTypes[extname(file)] ?? "application/octet-stream" });
      const split = extname(file) === ".html" && pause > 0 ? body.indexOf("</h1>") : -1;
      if (split >= 0) {
        response.write(body.subarray(0, split));
        await new Promise((resolve) => { setTimeout(resolve, pause); });
      }
      response.end(body.subarray(Math.max(split, 0)));
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return {
    origin: `http://127.0.0.1:${server.address().port}`,
    served,
    close: () => server.close(),
  };
}

// The browser, or with a profile folder one context in that profile, which
// unlike the browser's own contexts is no private window.
export async function launchBrowser(executablePath, profileDir) {
  const { chromium } = await import("playwright-core");
  const options = {
    executablePath,
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", "--no-first-run", "--disable-quic"],
  };
  return profileDir ? chromium.launchPersistentContext(profileDir, options) : chromium.launch(options);
}

// The program's standard output for these arguments, its name "tarvelin" as
// on the page, decoded as UTF-8.
export function programOutput(program, args) {
  const run = spawnSync(program, args, { argv0: "tarvelin" });
  if (run.error) throw run.error;
  return run.stdout.toString("utf8");
}

// The rate pairs whose reports are compared: those whose printed digits only
// the extended chain gives, and non-finite inputs and results.
export function reportInputs(testsDir) {
  return readFileSync(join(testsDir, "data/report_inputs.txt"), "utf8").split("\n")
    .filter((line) => line !== "" && !line.startsWith("#")).map((line) => line.split(" "));
}
