// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The web page in headless Chromium: time from navigation to the first
// report, time from a keystroke to the updated report, and the bytes the page
// transfers. Exits 1 if a target is missed: first report within 150 ms, an
// update within one frame (16 ms), page and module under 100 KB gzipped.
// Where the lighthouse command is installed (npm lighthouse@12.2.3), it also
// prints Lighthouse's four mobile scores for the page with a report.
//   node bench/web.mjs WEB-FOLDER [CHROMIUM]
// It needs playwright-core (npm ci in web/).
import { execFile } from "node:child_process";
import { gzipSync } from "node:zlib";
import { launchBrowser, serveFolder } from "../web/test/harness.mjs";

const [webDir, chromiumPath = "/usr/bin/chromium"] = process.argv.slice(2);
const loads = 15;
const keystrokes = 40;

// Both times are taken in the page: performance.now() counts from the start
// of the navigation, and a keystroke's timeStamp is when the key was pressed.
function watchReport() {
  window.tarvelinTimes = { firstReport: null, keystrokes: [] };
  let keyAt = null;
  document.addEventListener("keydown", (event) => {
    keyAt = event.timeStamp;
  }, true);
  new MutationObserver(() => {
    const output = document.getElementById("ausgabe");
    if (!output || output.textContent === "") return;
    const now = performance.now();
    if (window.tarvelinTimes.firstReport === null) window.tarvelinTimes.firstReport = now;
    if (keyAt !== null) {
      window.tarvelinTimes.keystrokes.push(now - keyAt);
      keyAt = null;
    }
  }).observe(document, { subtree: true, childList: true, characterData: true });
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const milliseconds = (value) => `${value.toFixed(1)} ms`;

const browser = await launchBrowser(chromiumPath);
const server = await serveFolder(webDir);
const address = `${server.origin}/?zins=5&inflation=2`;

// One load to start the browser's processes, not counted.
const firstReports = [];
for (let i = 0; i <= loads; ++i) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.addInitScript(watchReport);
  await page.goto(address);
  await page.waitForFunction(() => window.tarvelinTimes.firstReport !== null);
  if (i > 0) firstReports.push(await page.evaluate(() => window.tarvelinTimes.firstReport));
  await context.close();
}

const served = server.served.length;
const page = await browser.newPage();
await page.addInitScript(watchReport);
await page.goto(address);
await page.waitForFunction(() => window.tarvelinTimes.firstReport !== null);
const bytes = server.served.slice(served);
await page.getByLabel("Zins in %").focus();
for (let i = 0; i < keystrokes; ++i) {
  await page.keyboard.press(i % 2 === 0 ? "7" : "Backspace");
}
const updates = await page.evaluate(() => window.tarvelinTimes.keystrokes);
await browser.close();

// Lighthouse's own mobile emulation and throttling, its four categories.
// Run beside this process's server, never blocking it; at most two minutes.
const lighthouse = await new Promise((resolve) => {
  execFile("lighthouse", [address, "--output=json", "--quiet", "--form-factor=mobile",
    `--chrome-path=${chromiumPath}`, "--chrome-flags=--headless=new --no-sandbox --disable-gpu"],
  { encoding: "utf8", maxBuffer: 64 * 1024 * 1024, timeout: 120000 },
  (error, stdout, stderr) => resolve({ error, stdout, stderr }));
});
let scores = "lighthouse not installed";
if (lighthouse.error?.code !== "ENOENT") {
  try {
    const { categories } = JSON.parse(lighthouse.stdout);
    scores = Object.values(categories).map(({ title, score }) => `${title} ${Math.round(score * 100)}`).join(", ");
  } catch {
    scores = `lighthouse failed: ${`${lighthouse.stderr}`.trim().split("\n").pop()}`;
  }
}
server.close();

const raw = bytes.reduce((sum, { body }) => sum + body.length, 0);
const gzipped = bytes.reduce((sum, { body }) => sum + gzipSync(body, { level: 9 }).length, 0);
console.log(`first report after navigation: median ${milliseconds(median(firstReports))}, ` +
  `min ${milliseconds(Math.min(...firstReports))}, max ${milliseconds(Math.max(...firstReports))} (${loads} loads)`);
console.log(`keystroke to updated report:   median ${milliseconds(median(updates))}, ` +
  `min ${milliseconds(Math.min(...updates))}, max ${milliseconds(Math.max(...updates))} (${updates.length} keystrokes)`);
console.log(`Lighthouse, mobile:            ${scores}`);
console.log(`transferred: ${bytes.map(({ path }) => path).join(", ")}: ` +
  `${raw} bytes, ${gzipped} bytes gzipped`);

const missed = [];
if (updates.length !== keystrokes) missed.push(`${keystrokes - updates.length} keystrokes without an update`);
if (median(firstReports) > 150) missed.push("first report later than 150 ms");
if (median(updates) > 16) missed.push("update slower than one frame (16 ms)");
if (gzipped > 100 * 1024) missed.push("more than 100 KB gzipped");
if (missed.length > 0) {
  console.log(`targets missed: ${missed.join("; ")}`);
  process.exit(1);
}
console.log("targets met");
