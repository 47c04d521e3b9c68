// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The page in a headless Chromium, used as a person would: typing, choosing
// the layout, following the address. Its report must be the native program's
// standard output, decoded, byte for byte.
//   node browser.mjs WEB-FOLDER NATIVE-TARVELIN CHROMIUM TESTS-FOLDER SCREENSHOT-FOLDER
// Exit status 77 (skipped) where playwright-core or the browser is missing,
// unless TARVELIN_REQUIRE_BROWSER is set.
import { createHash } from "node:crypto";
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
  `${"9".repeat(100000)},5`, "12.345,6", "\u22121,5", "1.500", "5 Prozent", "3,5 Prozent", "3,5 p.a.", `1${" ".repeat(50000)}x`];
// A German decimal that the console would cut short goes to it in its point
// form, and so does one with the words savers write after it.
const handedTexts = new Map([["3,5", "3.5"], ["\u00a05", "5"], [`${"9".repeat(100000)},5`, `${"9".repeat(100000)}.5`],
  ["12.345,6", "12345.6"], ["\u22121,5", "-1.5"], ["3,5 Prozent", "3.5"], ["3,5 p.a.", "3.5"]]);
// What the page says of a field: [text, how it reads it, the figure it
// computes with]. "handed": the point form, said plainly beside the result;
// "partly": the number it starts with, and a note under the field; "none":
// no number, no answer, a note with an example; null: nothing to say.
const readingNotes = [["3,5", "handed", "3.5"], ["1.000,5", "handed", "1000.5"],
  ["\u22122", "handed", "-2"], ["\u22122,5 %", "handed", "-2.5"], ["\u20132,5", "handed", "-2.5"],
  ["abc", "none"], [" ", "none"], ["\u00a05", "handed", "5"],
  ["5 Euro", "partly", "5"], ["0x1p2a", "partly", "0x1p2"],
  [`${"9".repeat(100000)},5`, "handed", `${"9".repeat(16)}…`],
  ["5", null], [" 5 ", null], ["5%", null], ["5 %", null], ["5 % ", null], ["1e1", null], ["0x10", null],
  ["inf", null], ["nan", null], ["-nan", null], ["5\u00a0", null], ["5 Prozent", "handed", "5"], ["1.500", null],
  ["3,5 Prozent", "handed", "3.5"], ["3,5 p.a.", "handed", "3.5"], ["3,5 % p. a.", "handed", "3.5"],
  ["3,5 % pro Jahr", "handed", "3.5"], ["3,5.", "handed", "3.5"], ["4,5 JÄHRLICH", "handed", "4.5"],
  ["3.5 p. a.", "handed", "3.5"], ["drei", "none"], ["%", "none"], ["-m", "none"], ["3,5,5", "partly", "3"]];

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
const fieldValues = async () => [await nominalField.inputValue(), await inflationField.inputValue()].join(" ");

async function open(base, query) {
  await page.goto(`${base}${query}`);
  await page.waitForFunction(() => document.getElementById("ausgabe").textContent !== "");
  return report.textContent();
}

// Each character of an element's text and where it stands: [character, left, top].
const characterBoxes = (locator) => locator.evaluate((element) => {
  const walker = document.createTreeWalker(element, NodeFilter.SHOW_TEXT);
  const range = document.createRange();
  const boxes = [];
  for (let node = walker.nextNode(); node !== null; node = walker.nextNode()) {
    for (let i = 0; i < node.length; ++i) {
      range.setStart(node, i);
      range.setEnd(node, i + 1);
      const { left, top } = range.getBoundingClientRect();
      boxes.push([node.data[i], Math.round(left), Math.round(top)]);
    }
  }
  return boxes;
});

async function layout(multiLine) {
  await page.getByLabel(multiLine ? "mehrzeilig" : "einzeilig", { exact: true }).check();
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
  await page.keyboard.press("Tab");
  let typed = "";
  for (const key of "1e999") {
    await page.keyboard.type(key);
    typed += key;
    expectEqual(`${base}: typed 7,5 ${typed}`, await report.textContent(), native("7.5", typed));
  }
  await page.keyboard.press("Tab");
  await page.keyboard.press("ArrowDown");
  expectEqual(`${base}: layout by keyboard`, await report.textContent(), native("7.5", "1e999", "-m"));
  expectEqual(`${base}: address`, new URL(page.url()).search, "?zins=7%2C5&inflation=1e999&m");
  // The address shows the same again.
  expectEqual(`${base}: reopened`, await open(page.url(), ""), native("7.5", "1e999", "-m"));
  expectEqual(`${base}: fields reopened`, await fieldValues(), "7,5 1e999");
  await inflationField.fill("");
  expectEqual(`${base}: field emptied`, await report.textContent(), native("7,5"));
  expectEqual(`${base}: address emptied`, new URL(page.url()).search, "?zins=7%2C5&m");
  // Both emptied: a reload brings no rate back.
  await nominalField.fill("");
  await open(page.url(), "");
  expectEqual(`${base}: both emptied, reopened`, await fieldValues(), " ");
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
  const expected = text === "" ? native("2") : native(handedTexts.get(text) ?? text, "2");
  expectEqual(`typed ${JSON.stringify(text)}`, await report.textContent(), expected);
  // The page's own boxes around the runs between tabs, and nothing else.
  expect(`markup from ${JSON.stringify(text)}`, (await report.locator(":not(span), span *").count()) === 0);
}

// The note under the field, and beside the result a line saying what was
// computed; a field the page cannot read as meant is marked for every reader.
const note = page.locator("#zins-lesart");
const besideResult = page.locator("#lesarten");
const warningColour = await note.evaluate((element) => getComputedStyle(element).color);
for (const [text, kind, figure] of readingNotes) {
  await nominalField.fill(text);
  const what = `note on ${JSON.stringify(text.slice(0, 20))}`;
  const inDoubt = kind === "partly" || kind === "none";
  expectEqual(`${what}: shown`, await note.isVisible(), inDoubt);
  expectEqual(`${what}: aria-invalid`, await nominalField.getAttribute("aria-invalid"), inDoubt ? "true" : null);
  expectEqual(`${what}: beside the result`, await besideResult.isVisible(), kind !== null);
  expectEqual(`${what}: an answer`, await page.locator("#realzins").isVisible(), kind !== "none");
  if (kind === null) continue;
  const [said, beside] = [await note.textContent(), await besideResult.textContent()];
  const colours = await besideResult.locator("li").evaluateAll((lines) => lines.map((line) => getComputedStyle(line).color));
  const shown = text.trim().length > 16 ? `${text.trim().slice(0, 16)}…` : text.trim();
  expect(`${what}: says ${kind} ${figure}, not ${said} / ${beside}`, {
    handed: said === "" && beside === `Zins ${shown} als ${figure} gerechnet` && !colours.includes(warningColour),
    partly: said.includes(`„${figure}“`) && beside === `Zins: ${said}`,
    none: /^[„H].* keine Zahl\. .*z\. B\. \d/.test(said) && beside.startsWith(`Zins: ${said}`) && colours.every((colour) => colour === warningColour)
      && await page.locator("#bedeutung").textContent() === "" && !(await page.title()).includes("Realzins"),
  }[kind]);
  expect(`${what}: one line at most`, said.length < 200 && beside.length < 200);
}
expectEqual("note described", await nominalField.getAttribute("aria-describedby"), "zins-lesart");
// The page never changes a field on its own.
await nominalField.fill("3,5");
await page.waitForTimeout(50);
expectEqual("field kept", await nominalField.inputValue(), "3,5");
expectEqual("address kept", new URL(page.url()).search, "?zins=3%2C5&inflation=2");
await nominalField.fill("3.5");

// What a screen reader is told while a field is retyped: the answer in
// German once, after the pause, never the usage text or the report's raw
// line, never the same twice. 3.5 % and 2.1 % give 1.371 %.
await inflationField.fill("2,1");
await nominalField.fill("3,5 Prozent");
await page.evaluate(() => {
  window.announcements = [];
  new MutationObserver(() => window.announcements.push(document.getElementById("ansage").textContent))
    .observe(document.getElementById("ansage"), { childList: true, characterData: true, subtree: true });
});
await page.waitForTimeout(700);
for (let round = 0; round < 2; ++round) {
  await nominalField.fill("");
  await page.waitForTimeout(700);
  await nominalField.focus();
  await page.keyboard.type("3,5 Prozent");
  await page.waitForTimeout(800);
}
const announcements = await page.evaluate(() => window.announcements);
expect(`announcements ${announcements}`, announcements.length === 1 && announcements[0].startsWith("Realzins: 1,371\u00a0%. ")
  && announcements[0].includes(await page.locator("#bedeutung").textContent()) && !announcements[0].includes("Tarvelin:"));
await inflationField.fill("2");
await nominalField.fill("3.5");

// Copy: the report as shown, tabs and line ends kept, and said so.
await context.grantPermissions(["clipboard-read", "clipboard-write"], { origin: server.origin });
for (const multiLine of [false, true]) {
  await layout(multiLine);
  await page.getByRole("button", { name: "Kopieren" }).click();
  expectEqual(`copied, multi-line ${multiLine}`, await page.evaluate(() => navigator.clipboard.readText()),
    native("3.5", "2", ...(multiLine ? ["-m"] : [])));
}
expectEqual("copy announced", await page.locator("#ansage").textContent(), "Die Ausgabe ist in der Zwischenablage.");
expectEqual("copy shown", await page.locator("#kopiert").textContent(), "Kopiert");
await layout(false);

// The first look: a prompt whose example fills the fields, the report
// hidden, the program's usage text one step away.
const figures = (text) => ["Differenz", "Tarvelin", "Unterschied"].map((label) => new RegExp(`${label}[^:]*:\\s+(\\S+)\\s+%`).exec(text)[1]);
await open(`${server.origin}/`, "");
expect("start: report hidden", !(await report.isVisible()));
await page.getByText("Was das Konsolenprogramm ohne Zinssätze ausgibt").click();
expectEqual("start: usage text", await page.locator("#hilfe-text").textContent(), native());
await page.getByRole("button", { name: "z. B. 5 % Zins und 2 % Inflation" }).focus();
await page.keyboard.press("Enter");
expectEqual("example", await report.textContent(), expectedFile("5_2.out"));
// The button is gone with the prompt: the person stays in the first field.
expectEqual("example: focus", await page.evaluate(() => document.activeElement.id), "zins");
expect("example: report shown", await report.isVisible());
// The chart: every point a run of the program with the rate as typed, each
// line's circles (of its colour) on its corners.
await page.waitForFunction(() => document.querySelectorAll("#verlauf tbody tr").length > 0);
let printedFigures;
for (const nominal of ["5", "5.555"]) {
  await nominalField.fill(nominal);
  await page.waitForTimeout(300);
  const chartRows = await page.locator("#verlauf tbody tr").evaluateAll((rows) =>
    rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
  expect("chart: inflation a few points around 2", chartRows.length > 5 && chartRows.some(([inflation]) => inflation === "2")
    && chartRows.every(([inflation]) => Math.abs(inflation - 2) <= 6));
  printedFigures = [];
  for (const [inflation, ...drawn] of chartRows) {
    expectEqual(`chart of ${nominal} at ${inflation}`, drawn.join(" "), figures(native(nominal, inflation)).slice(0, 2).join(" "));
    printedFigures.push(...drawn);
  }
  expectEqual("chart: points", await page.locator("#verlauf circle:not(.eigen)").count(), 2 * chartRows.length);
  const offTheirLine = await page.locator("#verlauf svg").evaluate((svg) => {
    const colour = (element, property) => getComputedStyle(element)[property];
    const sorted = (points) => points.sort((a, b) => a.x - b.x);
    const apart = (a, b) => a.length !== b.length || a.some(({ x, y }, i) => Math.hypot(x - b[i].x, y - b[i].y) > 0.01);
    return [...svg.querySelectorAll("polyline")].filter((line) => apart(sorted([...line.points]), sorted(
      [...svg.querySelectorAll("circle")].filter((circle) => colour(circle, "fill") === colour(line, "stroke"))
        .map((circle) => ({ x: circle.cx.baseVal.value, y: circle.cy.baseVal.value }))))).length;
  });
  expectEqual(`chart of ${nominal}: lines whose circles are off them`, offTheirLine, 0);
}
// The person's own point ringed on the real rate's line, a zero line, and
// the y-axis in the report's digits with a decimal comma.
const [ownX, ownY] = await page.locator("#verlauf circle.eigen").evaluate((ring) => [ring.cx.baseVal.value, ring.cy.baseVal.value]);
expect("chart: own point on the line", await page.locator("#verlauf circle.tarvelin").evaluateAll((dots, [x, y]) =>
  dots.some((dot) => dot.cx.baseVal.value === x && dot.cy.baseVal.value === y), [ownX, ownY]));
expectEqual("chart: zero line", await page.locator("#verlauf line.null").count(), 1);
const ticks = (await page.locator("#verlauf text").allTextContents()).filter((text) => text.endsWith(" %"));
expect(`chart: y ticks ${ticks}`, ticks.length >= 3 && ticks.every((text) =>
  ["0", ...printedFigures].includes(text.slice(0, -2).replace(",", "."))));
// Near −100 % few points are left: never a coordinate that is no number.
for (let inflation = -112; inflation <= -88; ++inflation) {
  await inflationField.fill(String(inflation));
  await page.waitForTimeout(100);
  expect(`chart at inflation ${inflation}: NaN`, !(await page.locator("#verlauf").innerHTML()).includes("NaN"));
}

// Without scripts: no empty report with its copy button.
const withoutScripts = await browser.newContext({ javaScriptEnabled: false });
const plainPage = await withoutScripts.newPage();
await plainPage.goto(`${server.origin}/?zins=5&inflation=2`);
expect("without scripts: copy button shown", !(await plainPage.getByRole("button", { name: "Kopieren" }).isVisible()));
await withoutScripts.close();

// The answer first: the real rate as printed, with a decimal comma, in the
// tab's title too, a sentence by its sign and the approximation's error.
// A figure and its "%" are held together; an infinite or undefined rate is
// said in words; text that is no number gets no answer at all.
for (const [query, handed, word, line] of [["zins=1,5&inflation=2,2", ["1.5", "2.2"], "schrumpft"], ["zins=5&inflation=2",
  ["5", "2"], "wächst"], ["zins=2&inflation=2", ["2", "2"], "bleibt"], ["zins=%3Cscript%3E&inflation=2", ["<script>", "2"], null],
["zins=drei&inflation=2", ["drei", "2"], null], ["zins=3,5%20Prozent&inflation=2,1", ["3.5", "2.1"], "wächst", "Realzins: 1,371\u00a0%"],
["zins=4,5%25%20p.a.&inflation=2", ["4.5", "2"], "wächst"], ["zins=1e999&inflation=2", ["1e999", "2"], "ohne Grenze", "Realzins: unendlich"],
["zins=nan&inflation=2", ["nan", "2"], "kein Realzins", "Realzins: keine Zahl"]]) {
  const printed = native(...handed);
  expectEqual(`answer for ${query}: report`, await open(`${server.origin}/?`, query), printed);
  const [rate, off] = figures(printed).slice(1).map((figure) => figure.replace(".", ","));
  const seen = [await page.locator("#realzins").textContent(), await page.title(), await page.locator("#bedeutung").textContent()];
  const expected = line ?? `Realzins: ${rate}\u00a0%`;
  expect(`answer for ${query}: ${seen}`, word === null ? seen.join("") === "Tarvelin – Zins und Inflation"
    : seen[0] === expected && seen[1] === `${expected.replace(":", "")} · Tarvelin` && seen[2].includes(word)
      && (line !== undefined || word === "bleibt" || [rate, off].every((figure) => seen[2].includes(figure.replace(/^-/, "")))));
}
// Loaded with rates, the processor slowed 4x, nothing moves; after typing
// into either field the answer is on screen without scrolling: phones upright
// and on their side, with the on-screen keyboard open, a desktop.
const steady = await context.newPage();
await (await context.newCDPSession(steady)).send("Emulation.setCPUThrottlingRate", { rate: 4 });
await steady.addInitScript(() => new PerformanceObserver((list) => list.getEntries().forEach((entry) => {
  window.shifted = (window.shifted ?? 0) + entry.value;
})).observe({ type: "layout-shift", buffered: true }));
for (const [width, height] of [[360, 740], [320, 568], [568, 320], [360, 440], [1280, 800]]) {
  await steady.setViewportSize({ width, height });
  for (const field of ["Zins in %", "Inflationsrate in %"]) {
    await steady.goto(`${server.origin}/?zins=1,5&inflation=2,2`);
    await steady.waitForFunction(() => document.querySelectorAll("#verlauf circle").length > 0);
    await steady.waitForTimeout(200);
    expectEqual(`layout shifts at ${width}x${height}`, await steady.evaluate(() => window.shifted ?? 0), 0);
    await steady.getByLabel(field).click();
    await steady.keyboard.press("End");
    await steady.keyboard.type("1");
    const box = await steady.locator("#realzins").boundingBox();
    expect(`answer at ${width}x${height}: ${JSON.stringify(box)}`, box.y >= 0 && box.y + box.height <= height);
  }
}
await steady.close();

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
    ["mehrzeilig", "?zins=5&inflation=2&m"], ["lesart", "?zins=3%2C5&inflation=2%20Prozent&m"]]) {
    for (const [view, width, media, rootSize] of views) {
      await page.emulateMedia({ colorScheme, media });
      await page.setViewportSize({ width, height: 700 });
      await open(`${server.origin}/`, query);
      if (rootSize) await page.evaluate((size) => { document.documentElement.style.fontSize = size; }, rootSize);
      // The help open, so that its text is measured too.
      await page.locator("#hilfe").evaluate((help) => { help.open = true; });
      await page.waitForTimeout(50);
      const state = `${name}-${colorScheme}${view}`;
      const [scrollWidth, clientWidth, pageWidth, textRight] = await page.evaluate(() => {
        const text = document.createRange();
        text.selectNodeContents(document.getElementById("ausgabe"));
        return [document.querySelector("pre").scrollWidth, document.querySelector("pre").clientWidth,
          document.documentElement.scrollWidth, Math.max(0, ...[...text.getClientRects()].map((box) => box.right))];
      });
      expect(`${state}: report ${scrollWidth} px wide in ${clientWidth}`, scrollWidth <= clientWidth);
      expect(`${state}: report's text reaches ${textRight} px in ${width}`, textRight <= width);
      expect(`${state}: page ${pageWidth} px wide in ${width}`, pageWidth <= width);
      // Every line of the report starts at its left edge.
      const reportBoxes = await characterBoxes(report);
      const lineStarts = reportBoxes.filter(([character], i) => character !== "\n" && (i === 0 || reportBoxes[i - 1][0] === "\n"))
        .map(([, left]) => left);
      expect(`${state}: lines start at ${lineStarts}`, new Set(lineStarts).size <= 1);
      // The console's option is named in the help alone, never split there.
      const helpBoxes = await characterBoxes(page.locator("#hilfe p"));
      const option = helpBoxes.map(([character]) => character).join("").indexOf("-m");
      const optionTops = helpBoxes.slice(option, option + 2).map(([, , top]) => top);
      expect(`${state}: "-m" at heights ${optionTops}`, option >= 0 && new Set(optionTops).size === 1
        && !(await page.locator("form, fieldset").allTextContents()).join("").includes("-m"));
      // A figure never parts from its "%" in what the page says of it.
      for (const said of ["#realzins", "#bedeutung"]) {
        const boxes = (await characterBoxes(page.locator(said))).filter(([character]) => character.trim() !== "");
        expect(`${state}: "%" apart from its figure in ${said}`,
          boxes.every(([character, , top], i) => character !== "%" || boxes[i - 1][2] === top));
      }
      // The sheet says what it is, for which rates and when; the screen does not.
      const sheetHead = await page.evaluate(() => {
        const head = document.getElementById("druckkopf");
        return head?.checkVisibility() ? head.innerText : "";
      });
      expect(`${state}: printed head ${sheetHead}`, media === "print" ? sheetHead.includes("Realzins") && sheetHead.includes(page.url())
        && new RegExp(`Stand: \\d{1,2}\\. (?:Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember) ${new Date().getFullYear()}`).test(sheetHead)
        : sheetHead === "");
      if (media === "print") {
        expect(`${state}: both rates printed`, await nominalField.isVisible() && await inflationField.isVisible());
      }
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
// Until the worker serves the page: a worker that never does is found below.
await visitor.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 10000 }).catch(() => {});
const cdp = await profile.newCDPSession(visitor);
const { url: manifestUrl, errors } = await cdp.send("Page.getAppManifest");
const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
expectEqual("installable", JSON.stringify([manifestUrl, errors, installabilityErrors]),
  JSON.stringify([`${offlineServer.origin}/manifest.webmanifest`, [], []]));
// A first visit fetches each file once, and only what the page and its
// installation use: the module is inlined in the page.
const firstVisit = offlineServer.served.map(({ path }) => (path === "/" ? "/index.html" : path)).sort();
expectEqual("first visit: each file once", firstVisit.join(" "),
  [...new Set(firstVisit)].filter((path) => path !== "/tarvelin.wasm").join(" "));
const servedOnline = offlineServer.served.length;
await profile.setOffline(true);
expectEqual("offline: reloaded", await visit("?zins=5&inflation=2&m"), JSON.stringify([expectedFile("5_2_multi.out"), 0]));
expectEqual("offline: nothing served", offlineServer.served.length, servedOnline);
await axeFinds("offline", visitor);
await profile.setOffline(false);
const edit = (file, from, to) => writeFileSync(join(scratch, "web", file), readFileSync(join(scratch, "web", file), "utf8").replace(from, to));
const pageHash = () => createHash("sha256").update(readFileSync(join(scratch, "web", "index.html"))).digest("hex");
const oldHash = pageHash();
edit("index.html", "</main>", "<p id=\"neu\"></p></main>");
edit("sw.js", /tarvelin-\w+/, "tarvelin-neu");
// A new build's worker knows its page by the page's hash.
edit("sw.js", oldHash, pageHash());
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
