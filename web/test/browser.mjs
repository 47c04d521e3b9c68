// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The page in a headless Chromium, used as a person would: typing, choosing
// the layout, following the address. Its report must be the native program's
// standard output, decoded, byte for byte.
//   node browser.mjs WEB-FOLDER NATIVE-TARVELIN CHROMIUM TESTS-FOLDER SCREENSHOT-FOLDER
// Exit status 77 (skipped) where playwright-core or the browser is missing,
// unless TARVELIN_REQUIRE_BROWSER is set.
import { cpSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { launchBrowser, programOutput, reportInputs, serveFolder } from "./harness.mjs";

const [webDir, nativeProgram, chromiumPath, testsDir, screenshotDir] = process.argv.slice(2);

function skip(reason) {
  console.log(`skipped: ${reason}`);
  process.exit(process.env.TARVELIN_REQUIRE_BROWSER ? 1 : 77);
}
if (!existsSync(chromiumPath)) skip(`no browser at ${chromiumPath}`);
if (!existsSync(nativeProgram)) skip(`no native program at ${nativeProgram}`);
let browser;
let AxeBuilder;
try {
  browser = await launchBrowser(chromiumPath);
  ({ default: AxeBuilder } = await import("@axe-core/playwright"));
} catch (error) {
  skip(`${error.message.split("\n")[0]} (npm ci in web/?)`);
}

const failures = [];
function expectEqual(what, actual, expected) {
  if (actual !== expected) {
    failures.push(`${what}:\n  expected ${JSON.stringify(expected)}\n  got      ${JSON.stringify(actual)}`);
  }
}
function expect(what, condition) {
  if (!condition) failures.push(what);
}

const reportCases = reportInputs(testsDir);
// Texts typed into the nominal field (inflation 2): each reads as the console
// reads it, and markup stays text.
// A field of spaces is a rate of 0, a no-break space is no white space, and
// the arguments are sized in UTF-8 bytes.
const typedTexts = ["3,5", "abc", "1e999", "-1e999", "0x1p-2", " 5", "5%", "-m", "ä€", "",
  "<b>fett</b>", "<img src=x onerror=alert(1)>", "\"'&;|$(echo 1)", "   ", "\u00a05", "€".repeat(40),
  `${"9".repeat(100000)},5`];
// The note under a field: [text, what it says was read (null: no note), the
// point form offered].
const readingNotes = [["3,5", "gelesen: „3“", "3.5"], ["1.000,5", "gelesen: „1.000“", "1000.5"],
  ["\u22122", "gelesen: 0", "-2"], ["\u22122,5 %", "gelesen: 0", "-2.5"], ["abc", "gelesen: 0", null],
  [" ", "gelesen: 0", null], ["\u00a05", "gelesen: 0", "5"], ["5 Euro", "gelesen: „5“", null],
  [`${"9".repeat(100000)},5`, `gelesen: „${"9".repeat(16)}…“`, `${"9".repeat(16)}…`],
  ["5", null], [" 5 ", null], ["5%", null], ["5 %", null], ["1e1", null], ["0x10", null], ["inf", null],
  ["nan", null], ["-nan", null], ["5\u00a0", null]];

const expectedFile = (name) => readFileSync(join(testsDir, "e2e/expected", name), "utf8");
const native = (...args) => programOutput(nativeProgram, args);

const server = await serveFolder(webDir);
const context = await browser.newContext();
const page = await context.newPage();
const requests = [];
context.on("request", (request) => requests.push(request.url()));
page.on("console", (message) => {
  if (message.type() === "error") failures.push(`console error: ${message.text()}`);
});
page.on("pageerror", (error) => failures.push(`page error: ${error.message}`));
page.on("dialog", async (dialog) => {
  failures.push(`a dialog opened: ${dialog.message()}`);
  await dialog.dismiss();
});

const nominalField = page.getByLabel("Zins in %");
const inflationField = page.getByLabel("Inflationsrate in %");
const report = page.locator("#ausgabe");

async function open(base, query) {
  await page.goto(`${base}${query}`);
  await page.waitForFunction(() => document.getElementById("ausgabe").textContent !== "");
  return report.textContent();
}

async function layout(multiLine) {
  await page.getByLabel(multiLine ? "mehrzeilig (-m)" : "einzeilig", { exact: true }).check();
}

// Opened from the address, from a server and from the file system: the
// report at once, as the console prints it.
const pageUrl = pathToFileURL(join(webDir, "index.html")).href;
for (const base of [`${server.origin}/`, pageUrl]) {
  const usage = expectedFile("usage.out").replace("@PROGRAM@", "tarvelin");
  expectEqual(`${base}: usage, checked-in`, await open(base, ""), usage);
  expect(`${base}: usage, the letter ä`, (await report.textContent()).includes(" Näherungsweise "));
  // Standards mode, though the licence comment comes before the doctype.
  expectEqual(`${base}: mode`, await page.evaluate(() => document.compatMode), "CSS1Compat");
  expectEqual(`${base}: usage, native`, await report.textContent(), native());
  expectEqual(`${base}: one rate`, await open(base, "?zins=5&m"), native("5"));
  expectEqual(`${base}: 5 2`, await open(base, "?zins=5&inflation=2"), expectedFile("5_2.out"));
  expectEqual(`${base}: 5 2 -m`, await open(base, "?zins=5&inflation=2&m"),
    expectedFile("5_2_multi.out"));
  expectEqual(`${base}: 5 2 -m, native`, await report.textContent(), native("5", "2", "-m"));

  // Typing updates the report at every keystroke, and the address with it.
  await open(base, "");
  await page.keyboard.press("Tab");
  await page.keyboard.type("7,5");
  expectEqual(`${base}: typed 7,5 alone`, await report.textContent(), native("7,5"));
  // The offer under the field comes next, then the other field.
  await page.keyboard.press("Tab");
  expectEqual(`${base}: offer focused`, await page.evaluate(() => document.activeElement.textContent), "7.5 verwenden");
  await page.keyboard.press("Tab");
  let typed = "";
  for (const key of "1e999") {
    await page.keyboard.type(key);
    typed += key;
    expectEqual(`${base}: typed 7,5 ${typed}`, await report.textContent(), native("7,5", typed));
  }
  await page.keyboard.press("Tab");
  await page.keyboard.press("ArrowDown");
  expectEqual(`${base}: layout by keyboard`, await report.textContent(), native("7,5", "1e999", "-m"));
  expectEqual(`${base}: address`, new URL(page.url()).search, "?zins=7%2C5&inflation=1e999&m");
  // The address shows the same again.
  expectEqual(`${base}: reopened`, await open(page.url(), ""), native("7,5", "1e999", "-m"));
  expectEqual(`${base}: fields reopened`,
    [await nominalField.inputValue(), await inflationField.inputValue()].join(" "), "7,5 1e999");
  await inflationField.fill("");
  expectEqual(`${base}: field emptied`, await report.textContent(), native("7,5"));
  expectEqual(`${base}: address emptied`, new URL(page.url()).search, "?zins=7%2C5&m");
}

// The figures, both layouts, over the server.
await open(`${server.origin}/`, "");
let compared = 0;
for (const [nominal, inflation] of reportCases) {
  await nominalField.fill(nominal);
  await inflationField.fill(inflation);
  for (const multiLine of [false, true]) {
    await layout(multiLine);
    const args = multiLine ? [nominal, inflation, "-m"] : [nominal, inflation];
    expectEqual(`report ${args.join(" ")}`, await report.textContent(), native(...args));
    compared += 1;
  }
}
await layout(false);
await inflationField.fill("2");
for (const text of typedTexts) {
  await nominalField.fill(text);
  const expected = text === "" ? native("2") : native(text, "2");
  expectEqual(`typed ${JSON.stringify(text)}`, await report.textContent(), expected);
  // The page's own boxes around the runs between tabs, and nothing else.
  expect(`markup from ${JSON.stringify(text)}`, (await report.locator(":not(span), span *").count()) === 0);
}

const note = page.locator("#zins-lesart");
for (const [text, read, offer] of readingNotes) {
  await nominalField.fill(text);
  const what = `note on ${JSON.stringify(text.slice(0, 20))}`;
  expectEqual(`${what}: shown`, await note.isVisible(), read !== null);
  expectEqual(`${what}: aria-invalid`, await nominalField.getAttribute("aria-invalid"), read === null ? null : "");
  if (read === null) continue;
  const said = await note.textContent();
  expect(`${what}: says ${read}, not ${said}`, said.startsWith(`${read}. `));
  expect(`${what}: one line at most`, said.length < 200);
  const button = note.getByRole("button");
  expectEqual(`${what}: offer`, await button.isVisible() ? await button.textContent() : null,
    offer === null ? null : `${offer} verwenden`);
}
expectEqual("note described", await nominalField.getAttribute("aria-describedby"), "zins-lesart");
// Taking the offer: the point form, its report, and the note gone. The page
// never changes a field on its own.
await nominalField.fill("3,5");
await page.waitForTimeout(50);
expectEqual("field kept", await nominalField.inputValue(), "3,5");
await page.getByRole("button", { name: "3.5 verwenden" }).click();
expectEqual("offer taken", await nominalField.inputValue(), "3.5");
expectEqual("offer taken: report", await report.textContent(), native("3.5", "2"));
expect("offer taken: no note", !(await note.isVisible()));

// What a screen reader is told while a field is retyped: the report once,
// after the pause, never the usage text, never the same twice.
await page.evaluate(() => {
  window.announcements = [];
  new MutationObserver(() => window.announcements.push(document.getElementById("ansage").textContent))
    .observe(document.getElementById("ansage"), { childList: true, characterData: true, subtree: true });
});
await page.waitForTimeout(700);
for (let round = 0; round < 2; ++round) {
  await nominalField.fill("");
  await nominalField.focus();
  await page.keyboard.type("3.5");
  await page.waitForTimeout(800);
}
expectEqual("announcements", JSON.stringify(await page.evaluate(() => window.announcements)),
  JSON.stringify([native("3.5", "2")]));

// Copy: the report as shown, tabs and line ends kept, and said so.
await context.grantPermissions(["clipboard-read", "clipboard-write"], { origin: server.origin });
for (const multiLine of [false, true]) {
  await layout(multiLine);
  await page.getByRole("button", { name: "Kopieren" }).click();
  expectEqual(`copied, multi-line ${multiLine}`, await page.evaluate(() => navigator.clipboard.readText()),
    native("3.5", "2", ...(multiLine ? ["-m"] : [])));
}
expectEqual("copy announced", await page.locator("#ansage").textContent(), "Die Ausgabe ist in der Zwischenablage.");
await layout(false);

// The first look: a prompt whose example fills the fields, the report
// hidden, the program's usage text one step away.
const figures = (text) => ["Differenz", "Tarvelin"].map((label) => new RegExp(`${label}:\\s+(\\S+)\\s+%`).exec(text)[1]);
await open(`${server.origin}/`, "");
expect("start: report hidden", !(await report.isVisible()));
await page.getByText("Was das Konsolenprogramm ohne Zinssätze ausgibt").click();
expectEqual("start: usage text", await page.locator("#hilfe-text").textContent(), native());
await page.getByRole("button", { name: "z. B. 5 % Zins und 2 % Inflation" }).click();
expectEqual("example", await report.textContent(), expectedFile("5_2.out"));
expect("example: report shown", await report.isVisible());
// The chart: every point a run of the program.
await page.waitForFunction(() => document.querySelectorAll("#verlauf tbody tr").length > 0);
const chartRows = await page.locator("#verlauf tbody tr").evaluateAll((rows) =>
  rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
expect("chart: inflation around 2", chartRows.length > 5 && chartRows.some(([inflation]) => inflation === "2"));
for (const [inflation, ...drawn] of chartRows) {
  expectEqual(`chart at ${inflation}`, drawn.join(" "), figures(native("5", inflation)).join(" "));
}
expectEqual("chart: points", await page.locator("#verlauf circle").count(), 2 * chartRows.length);

// Nothing from anywhere else: every request the page made went to the place
// it was opened from.
for (const url of requests) {
  const { origin, protocol } = new URL(url);
  expect(`request to another origin: ${url}`, origin === server.origin || protocol === "file:");
}

// For people to look at, and no part of the report hidden or scrolled
// sideways: each layout in each colour scheme, on a phone of 320 px, at 200 %
// zoom (half the window's width), with the reader's text at 32 px, on A4
// paper; axe finds nothing in any state.
mkdirSync(screenshotDir, { recursive: true });
const views = [["", 1300, "screen"], ["-telefon", 320, "screen"], ["-zoom", 640, "screen"],
  ["-schrift32", 320, "screen", "32px"], ["-druck", 718, "print"]];
const axeFinds = async (state, inPage = page) => {
  const { violations } = await new AxeBuilder({ page: inPage }).analyze();
  for (const { id, nodes } of violations) failures.push(`axe, ${state}: ${id} at ${nodes.map((node) => node.target).join(", ")}`);
};
for (const colorScheme of ["light", "dark"]) {
  for (const [name, query] of [["start", ""], ["einzeilig", "?zins=5&inflation=2"],
    ["mehrzeilig", "?zins=5&inflation=2&m"], ["lesart", "?zins=3%2C5&inflation=%E2%88%922&m"]]) {
    for (const [view, width, media, rootSize] of views) {
      await page.emulateMedia({ colorScheme, media });
      await page.setViewportSize({ width, height: 700 });
      await open(`${server.origin}/`, query);
      if (rootSize) await page.evaluate((size) => { document.documentElement.style.fontSize = size; }, rootSize);
      await page.waitForTimeout(50);
      const state = `${name}-${colorScheme}${view}`;
      const [scrollWidth, clientWidth, pageWidth] = await page.evaluate(() => [
        document.querySelector("pre").scrollWidth, document.querySelector("pre").clientWidth,
        document.documentElement.scrollWidth]);
      expect(`${state}: report ${scrollWidth} px wide in ${clientWidth}`, scrollWidth <= clientWidth);
      expect(`${state}: page ${pageWidth} px wide in ${width}`, pageWidth <= width);
      await page.screenshot({ path: join(screenshotDir, `${state}.png`), fullPage: true });
      if (media === "screen") await axeFinds(state);
    }
  }
}
await page.emulateMedia({ colorScheme: "light", media: "screen" });
await page.getByText("Was das Konsolenprogramm ohne Zinssätze ausgibt").click();
await axeFinds("help open");

// Over http a first visit keeps the page for visits without network, and it
// can be installed (not from a private window: a profile of its own). A new
// build, faked in a copy of the folder, is taken whole at the next visit with
// network; the one in between shows the cached page.
const scratch = mkdtempSync(join(tmpdir(), "tarvelin-"));
cpSync(webDir, join(scratch, "web"), { recursive: true });
const offlineServer = await serveFolder(join(scratch, "web"));
const profile = await launchBrowser(chromiumPath, join(scratch, "profile"));
const visitor = profile.pages()[0];
const visit = async (query) => {
  await visitor.goto(`${offlineServer.origin}/${query}`);
  return JSON.stringify([await visitor.locator("#ausgabe").textContent(), await visitor.locator("#neu").count()]);
};
await visit("?zins=5&inflation=2");
await visitor.evaluate(() => navigator.serviceWorker.ready);
const cdp = await profile.newCDPSession(visitor);
const { url: manifestUrl, errors } = await cdp.send("Page.getAppManifest");
const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
expectEqual("installable", JSON.stringify([manifestUrl, errors, installabilityErrors]),
  JSON.stringify([`${offlineServer.origin}/manifest.webmanifest`, [], []]));
const servedOnline = offlineServer.served.length;
await profile.setOffline(true);
expectEqual("offline: reloaded", await visit("?zins=5&inflation=2&m"), JSON.stringify([expectedFile("5_2_multi.out"), 0]));
expectEqual("offline: nothing served", offlineServer.served.length, servedOnline);
await axeFinds("offline", visitor);
await profile.setOffline(false);
for (const [file, from, to] of [["index.html", "</main>", "<p id=\"neu\"></p></main>"], ["sw.js", /tarvelin-\w+/, "tarvelin-neu"]]) {
  writeFileSync(join(scratch, "web", file), readFileSync(join(scratch, "web", file), "utf8").replace(from, to));
}
expectEqual("new build: the cached page once more", await visit("?zins=5&inflation=2"),
  JSON.stringify([expectedFile("5_2.out"), 0]));
const cacheNames = () => visitor.evaluate(async () => (await caches.keys()).join());
for (let wait = 0; wait < 100 && await cacheNames() !== "tarvelin-neu"; ++wait) await visitor.waitForTimeout(50);
expectEqual("new build: taken at the next visit", await visit("?zins=5&inflation=2"),
  JSON.stringify([expectedFile("5_2.out"), 1]));
await profile.close();
offlineServer.close();
rmSync(scratch, { recursive: true });

await browser.close();
server.close();
console.log(`${compared} reports compared, ${requests.length} requests, screenshots in ${screenshotDir}`);
if (failures.length > 0) {
  console.log(`${failures.length} failures:\n${failures.join("\n")}`);
  process.exit(1);
}
