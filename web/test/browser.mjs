// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The page in a headless Chromium, used as a person would: typing, choosing
// the layout, following the address. Its report must be the native program's
// standard output, decoded, byte for byte.
//   node browser.mjs WEB-FOLDER NATIVE-TARVELIN CHROMIUM TESTS-FOLDER SCREENSHOT-FOLDER
// Exit status 77 (skipped) where playwright-core or the browser is missing,
// unless TARVELIN_REQUIRE_BROWSER is set.
import { createHash } from "node:crypto";
import { cpSync, existsSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { launchBrowser, programOutput, reportInputs, serveFolder } from "./harness.mjs";

const [webDir, nativeProgram, chromiumPath, testsDir, screenshotDir] = process.argv.slice(2);

function skip(reason) {
  console.log(`skipped: ${reason}`);
  process.exit(process.env.TARVELIN_REQUIRE_BROWSER ? 1 : 77);
}
if (!existsSync(chromiumPath)) skip(`no browser at ${chromiumPath}; to get it, run: apt-get install chromium`);
if (!existsSync(nativeProgram)) skip(`no native program at ${nativeProgram}; build the tree build/ first`);
let browser;
let AxeBuilder;
let fc;
try {
  ({ default: fc } = await import("fast-check"));
  ({ default: AxeBuilder } = await import("@axe-core/playwright"));
  browser = await launchBrowser(chromiumPath);
} catch (error) {
  const remedy = error.code === "ERR_MODULE_NOT_FOUND" ? "; to get the test packages, run: (cd web && npm ci)" : "";
  skip(`${error.message.split("\n")[0]}${remedy}`);
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

// The sentence beside the answer, from the design: the words each printed
// sign of the real rate and of the approximation's deviation calls for. A
// sentence holds its row's words and none of another row's.
const realRateWords = {
  "+": ["wächst", "mehr"], "-": ["schrumpft", "weniger"], 0: ["bleibt"], "-0": ["bleibt"],
  inf: ["wächst", "ohne Grenze"], "-inf": ["schrumpft", "ohne Grenze"], nan: ["kein Realzins"],
};
const deviationWords = {
  "+": ["darüber"], "-": ["darunter"], 0: ["genau"], "-0": ["genau"], inf: ["unendlich"], "-inf": ["unendlich"], nan: [],
};
// A figure as printed: "2.941", "-0.000", "inf", "-nan".
const printedSign = (figure) => {
  const minus = figure.startsWith("-") ? "-" : "";
  if (/nan/.test(figure)) return "nan";
  if (/inf/.test(figure)) return `${minus}inf`;
  return /[1-9]/.test(figure) ? minus || "+" : `${minus}0`;
};
const figures = (text) => ["Differenz", "Tarvelin", "Unterschied"].map((label) => new RegExp(`${label}[^:]*:\\s+(\\S+)\\s+%`).exec(text)[1]);

// A rate as typed, what the program gets for it, whether the field gets a
// note under it and a line beside the result, and whether it is a number at
// all. A German decimal the program would cut short goes to it in point form,
// said beside the result alone.
const rate = (typed, note = false, number = true) => ({ typed, handed: typed, note, line: note, number });
const digits = (count) => fc.array(fc.constantFrom(..."0123456789"), { minLength: count[0], maxLength: count[1] }).map((list) => list.join(""));
const pointRate = fc.tuple(fc.constantFrom("", "-", "+"), fc.integer({ min: 0, max: 150 }), digits([1, 3]))
  .map(([sign, whole, fraction]) => rate(`${sign}${whole}.${fraction}`));
const germanRate = fc.tuple(fc.constantFrom("", "-", "+", "\u2212", "\u2013"), fc.integer({ min: 1, max: 999 }),
  fc.array(digits([3, 3]), { maxLength: 4 }), fc.option(digits([1, 3])))
  .map(([sign, head, groups, fraction]) => {
    const typed = `${sign}${[head, ...groups].join(".")}${fraction === null ? "" : `,${fraction}`}`;
    if (/^[+-]?\d+(?:\.\d+)?$/.test(typed)) return rate(typed);
    return { typed, handed: `${{ "": "", "+": "+" }[sign] ?? "-"}${head}${groups.join("")}${fraction === null ? "" : `.${fraction}`}`,
      note: false, line: true, number: true };
  });
const otherRate = fc.constantFrom(...["0", "-0", "inf", "-inf", "nan", "1e999", "-1e999", "-99.9", "-99.999", "-100", "1e300", "0x1p-2"]
  .map((typed) => rate(typed)), rate("abc", true, false), rate("5 Euro", true));
const anyRate = fc.oneof(pointRate, germanRate, otherRate);
const pageStates = fc.record({ nominal: anyRate, inflation: anyRate, multiLine: fc.boolean(), empty: fc.constantFrom(null, null, 0, 1) });
const signRows = [["1.9999999", "2"], ["2", "2"], ["1e999", "2"], ["-1e999", "2"], ["nan", "2"], ["5", "-100"], ["-200", "-100"],
  ["1", "5"], ["5", "1"]].map(([nominal, inflation]) => ({ nominal: rate(nominal), inflation: rate(inflation), multiLine: false, empty: null }));
const fieldNames = ["Zins", "Inflationsrate"];

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

// What the page shows around the report, once the chart is drawn.
const snapshot = () => page.evaluate(async () => {
  await new Promise((resolve) => { setTimeout(resolve); });
  const shown = (element) => element.getClientRects().length > 0;
  const byId = (id) => document.getElementById(id);
  const svg = document.querySelector("#verlauf svg");
  const yAxis = [...svg.querySelectorAll("line.achse")].find((line) => line.x1.baseVal.value === line.x2.baseVal.value);
  const chartShown = shown(byId("verlauf"));
  return {
    report: byId("ausgabe").textContent,
    answer: shown(byId("realzins")) ? byId("realzins").textContent : null,
    title: document.title,
    meaning: shown(byId("bedeutung")) ? byId("bedeutung").textContent : "",
    notes: ["zins", "inflation"].map((id) => byId(`${id}-lesart`)).filter(shown).map((note) => note.textContent),
    notedFields: ["Zins", "Inflationsrate"].filter((_, i) => shown(byId(`${["zins", "inflation"][i]}-lesart`))),
    lines: shown(byId("lesarten")) ? [...byId("lesarten").children].map((line) => line.textContent) : [],
    axis: yAxis ? [yAxis.y1.baseVal.value, yAxis.y2.baseVal.value].sort((a, b) => a - b) : [],
    ticks: chartShown ? [...svg.querySelectorAll("text")].filter((text) => text.textContent.endsWith(" %"))
      .filter((text) => !text.textContent.startsWith("Inflation")).map((text) => ({ text: text.textContent, y: text.y.baseVal[0].value - 5 })) : [],
    zeroLines: chartShown ? [...svg.querySelectorAll("line.null")].map((line) => line.y1.baseVal.value) : [],
    rows: chartShown ? [...byId("verlauf").querySelectorAll("tbody tr")].map((row) => [...row.cells].map((cell) => cell.textContent)) : [],
    caption: chartShown ? byId("verlauf").querySelector("figcaption").textContent : "",
    html: document.querySelector("main").innerHTML,
    text: document.querySelector("main").innerText,
  };
});

// A figure never parts from its "%" in what the page says of it.
async function expectPercentKept(state) {
  for (const said of ["#realzins", "#bedeutung"]) {
    const boxes = (await characterBoxes(page.locator(said))).filter(([character]) => character.trim() !== "");
    expect(`${state}: "%" apart from its figure in ${said}`,
      boxes.every(([character, , top], i) => character !== "%" || boxes[i - 1][2] === top));
  }
}

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

// The figures, both layouts, over the server: the fields set and their input
// events sent inside the page, one round trip for all (typing is held above).
await open(`${server.origin}/`, "");
const reportArguments = reportCases.flatMap((pair) => [pair, [...pair, "-m"]]);
const shownReports = await page.evaluate((argumentLists) => argumentLists.map(([nominal, inflation, multiLine]) => {
  const form = document.getElementById("eingabe");
  [form.elements.zins.value, form.elements.inflation.value] = [nominal, inflation];
  document.querySelector(`input[value="${multiLine ? "mehrzeilig" : "einzeilig"}"]`).checked = true;
  form.dispatchEvent(new Event("input", { bubbles: true }));
  return document.getElementById("ausgabe").textContent;
}), reportArguments);
reportArguments.forEach((args, i) => expectEqual(`report ${args.join(" ")}`, shownReports[i], native(...args)));
const compared = reportArguments.length;
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

// The page's promises over many states, generated with a fixed seed after the
// rows that reach every sign of the printed real rate and deviation.
const words = { real: realRateWords, deviation: deviationWords };
const seen = { real: new Set(), deviation: new Set() };
for (const state of [...signRows, ...fc.sample(pageStates, { seed: 30, numRuns: 48 })]) {
  await nominalField.fill(state.nominal.typed);
  await inflationField.fill(state.inflation.typed);
  await layout(state.multiLine);
  const what = `${JSON.stringify([state.nominal.typed, state.inflation.typed])}${state.multiLine ? " -m" : ""}`;
  const printed = native(state.nominal.handed, state.inflation.handed, ...(state.multiLine ? ["-m"] : []));
  const shown = await snapshot();
  expectEqual(`${what}: report`, shown.report, printed);
  const [real, deviation] = figures(printed).slice(1);
  // No answer where a field holds no number; inf and nan in words.
  const answered = state.nominal.number && state.inflation.number;
  const rate = { inf: "unendlich", "-inf": "minus unendlich", nan: "keine Zahl" }[printedSign(real)] ?? `${real.replace(".", ",")}\u00a0%`;
  expectEqual(`${what}: answer and title`, `${shown.answer} | ${shown.title}`,
    answered ? `Realzins: ${rate} | Realzins ${rate} · Tarvelin` : "null | Tarvelin – Zins und Inflation");
  // Every word of the sentence from the printed signs, by the design's table.
  for (const [kind, figure] of answered ? [["real", real], ["deviation", deviation]] : []) {
    const sign = printedSign(figure);
    seen[kind].add(sign);
    const own = words[kind][sign];
    const others = Object.values(words[kind]).flat().filter((word) => !own.some((ownWord) => ownWord.includes(word)));
    expect(`${what}: ${kind} ${figure} in "${shown.meaning}"`, own.every((word) => shown.meaning.includes(word))
      && !others.some((word) => shown.meaning.includes(word))
      && (!/^-?0[.0]*$|[a-z]/.test(figure) ? shown.meaning.includes(figure.replace(/^-/, "").replace(".", ",")) : true));
  }
  // The chart: each point a run of the program, inside its axes, a zero line
  // exactly where 0 lies between its figures.
  const chartRuns = shown.rows.map(([inflation]) => native(state.nominal.handed, inflation.replace(",", ".")));
  shown.rows.forEach(([inflation, ...drawn], i) => expectEqual(`${what}: chart at ${inflation}`,
    drawn.join(" "), figures(chartRuns[i]).slice(0, 2).map((figure) => figure.replace(".", ",")).join(" ")));
  const values = shown.rows.flatMap(([, ...drawn]) => drawn.map((figure) => Number(figure.replace(",", "."))));
  const [top, bottom] = shown.axis;
  expect(`${what}: chart ${JSON.stringify(shown.ticks)} ${shown.zeroLines} outside ${shown.axis}`,
    [...shown.ticks.map(({ y }) => y), ...shown.zeroLines].every((y) => y >= top && y <= bottom));
  if (shown.rows.length > 0) {
    expect(`${what}: no tick on the y-axis`, shown.ticks.length > 0);
    expectEqual(`${what}: zero lines`, shown.zeroLines.length, Math.min(...values) <= 0 && Math.max(...values) >= 0 ? 1 : 0);
  }
  // Every other number on the page: a figure of these reports with a decimal
  // comma; in the notes also the typed text and its point form.
  const printedNumbers = new Set([printed, ...chartRuns].flatMap((report) => report.match(/\d+(?:\.\d+)?/g)).map(Number));
  // A text with no number at its start is read as 0.
  const typedPieces = ["0", ...[state.nominal, state.inflation].flatMap(({ typed, handed }) => [typed, handed])];
  const figureTexts = [shown.meaning, shown.caption, ...shown.ticks.map(({ text }) => text), ...shown.rows.flat()];
  for (const [text, echo] of [...figureTexts.map((text) => [text, false]), ...shown.lines.map((text) => [text, true]),
    ...shown.notes.map((text) => [text, true])]) {
    // A note's example of what to type ("z. B. 3,5") is no figure.
    for (const number of text.replace(/z\. B\. \d+(?:,\d+)?/g, "").match(/\d+(?:[.,]\d+)*/g) ?? []) {
      expect(`${what}: ${number} in "${text.slice(0, 80)}"`, (echo && typedPieces.some((piece) => piece.includes(number)))
        || (/^\d+(?:,\d+)?$/.test(number) && printedNumbers.has(Number(number.replace(",", ".")))));
    }
    // "…" only where a text was cut.
    for (const at of [...text.matchAll(/…/g)].map(({ index }) => index)) {
      expect(`${what}: "…" in "${text.slice(0, 80)}"`, typedPieces.some((piece) => [piece, piece.trim()].some((source) =>
        [...source].some((_, cut) => cut > 0 && text.slice(at - cut, at) === source.slice(0, cut)))));
    }
  }
  // Each field's note, and beside the result a line naming that field.
  const marked = (key) => fieldNames.filter((_, i) => [state.nominal, state.inflation][i][key]);
  expectEqual(`${what}: notes`, JSON.stringify(shown.notedFields), JSON.stringify(marked("note")));
  expectEqual(`${what}: lines beside the result`, JSON.stringify(shown.lines.map((line) => fieldNames.find((name) => line.startsWith(name)))),
    JSON.stringify(marked("line")));
  expect(`${what}: NaN, undefined or null in the page`, !/NaN|undefined/.test(shown.html) && !/\bnull\b/.test(shown.text));
  const address = new URLSearchParams(new URL(page.url()).search);
  expectEqual(`${what}: address`, `${address.get("zins")} ${address.get("inflation")}`, `${state.nominal.typed} ${state.inflation.typed}`);
  // A field emptied: no answer is left standing.
  if (state.empty !== null) {
    await [nominalField, inflationField][state.empty].fill("");
    const emptied = await snapshot();
    expect(`${what}, field ${state.empty} emptied: ${JSON.stringify([emptied.answer, emptied.title, emptied.meaning])}`,
      emptied.answer === null && !/\d/.test(emptied.title) && emptied.meaning === "" && emptied.rows.length === 0);
  }
}
for (const kind of ["real", "deviation"]) {
  expectEqual(`signs of the ${kind} shown`, [...seen[kind]].sort().join(), Object.keys(words[kind]).sort().join());
}
await nominalField.fill("3.5");
await inflationField.fill("2");
await layout(false);

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
// Said only beside the report it copied, and for a few seconds.
await layout(false);
expectEqual("copy shown, the report changed", await page.locator("#kopiert").textContent(), "");
await page.getByRole("button", { name: "Kopieren" }).click();
expect("copy shown for good", await page.waitForFunction(() => document.getElementById("kopiert").textContent === "", null,
  { timeout: 10000 }).then(() => true, () => false));

// The first look: a prompt whose example fills the fields, the report
// hidden, the program's usage text one step away.
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
for (const nominal of ["5", "5.555"]) {
  await nominalField.fill(nominal);
  await page.waitForTimeout(300);
  const chartRows = await page.locator("#verlauf tbody tr").evaluateAll((rows) =>
    rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
  expect("chart: inflation a few points around 2", chartRows.length > 5 && chartRows.some(([inflation]) => inflation === "2")
    && chartRows.every(([inflation]) => Math.abs(inflation - 2) <= 6));
  for (const [inflation, ...drawn] of chartRows) {
    expectEqual(`chart of ${nominal} at ${inflation}`, drawn.join(" ").replaceAll(",", "."), figures(native(nominal, inflation)).slice(0, 2).join(" "));
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
// The person's own point ringed on the real rate's line, and a zero line.
const [ownX, ownY] = await page.locator("#verlauf circle.eigen").evaluate((ring) => [ring.cx.baseVal.value, ring.cy.baseVal.value]);
expect("chart: own point on the line", await page.locator("#verlauf circle.tarvelin").evaluateAll((dots, [x, y]) =>
  dots.some((dot) => dot.cx.baseVal.value === x && dot.cy.baseVal.value === y), [ownX, ownY]));
expectEqual("chart: zero line", await page.locator("#verlauf line.null").count(), 1);
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
// said in words; text that is no number gets no answer at all. On a phone
// 360 px wide, where "1,371 %" and "2,941 %" would end a line.
await page.setViewportSize({ width: 360, height: 740 });
for (const [query, handed, word, line] of [["zins=1,5&inflation=2,2", ["1.5", "2.2"], "schrumpft"], ["zins=5&inflation=2",
  ["5", "2"], "wächst"], ["zins=2&inflation=2", ["2", "2"], "bleibt"], ["zins=%3Cscript%3E&inflation=2", ["<script>", "2"], null],
["zins=drei&inflation=2", ["drei", "2"], null], ["zins=3,5%20Prozent&inflation=2,1", ["3.5", "2.1"], "wächst", "Realzins: 1,371\u00a0%"],
["zins=4,5%25%20p.a.&inflation=2", ["4.5", "2"], "wächst"], ["zins=1e999&inflation=2", ["1e999", "2"], "ohne Grenze", "Realzins: unendlich"],
["zins=nan&inflation=2", ["nan", "2"], "kein Realzins", "Realzins: keine Zahl"]]) {
  const printed = native(...handed);
  expectEqual(`answer for ${query}: report`, await open(`${server.origin}/?`, query), printed);
  const [rate, off] = figures(printed).slice(1).map((figure) => figure.replace(".", ","));
  const answer = [await page.locator("#realzins").textContent(), await page.title(), await page.locator("#bedeutung").textContent()];
  const expected = line ?? `Realzins: ${rate}\u00a0%`;
  await expectPercentKept(`answer for ${query}`);
  expect(`answer for ${query}: ${answer}`, word === null ? answer.join("") === "Tarvelin – Zins und Inflation"
    : answer[0] === expected && answer[1] === `${expected.replace(":", "")} · Tarvelin` && answer[2].includes(word)
      && (line !== undefined || word === "bleibt" || [rate, off].every((figure) => answer[2].includes(figure.replace(/^-/, "")))));
}
// The first picture already holds the answer: the page arrives in two parts
// with a pause between, in which a browser paints what it has unless the
// module holds the picture back until it has run. No worker, which would
// answer from its cache at once.
const slowServer = await serveFolder(webDir, 500);
const slowContext = await browser.newContext({ serviceWorkers: "block" });
const slow = await slowContext.newPage();
await slow.addInitScript(() => new MutationObserver(() => {
  if (window.answered === undefined && document.getElementById("realzins")?.textContent) window.answered = performance.now();
}).observe(document, { childList: true, subtree: true, characterData: true }));
for (let load = 0; load < 3; ++load) {
  await slow.goto(`${slowServer.origin}/?zins=5&inflation=2`);
  await slow.waitForFunction(() => performance.getEntriesByType("paint").length > 0);
  const [answered, painted] = await slow.evaluate(() => [window.answered, performance.getEntriesByType("paint")[0].startTime]);
  expect(`first paint at ${painted} ms, the answer at ${answered} ms`, answered <= painted);
}
await slowContext.close();
slowServer.close();

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
      await expectPercentKept(state);
      // The sheet says what it is, for which rates and when; the screen does not.
      const sheetHead = await page.evaluate(() => {
        const head = document.getElementById("druckkopf");
        return head?.checkVisibility() ? head.innerText : "";
      });
      expect(`${state}: printed head ${sheetHead}`, media === "print" ? sheetHead.includes("Realzins") && sheetHead.includes(page.url())
        && new RegExp(`Stand: \\d{1,2}\\. (?:Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember) ${new Date().getFullYear()}`).test(sheetHead)
        : sheetHead === "");
      // The answer's line, where it sticks over the page, hides what scrolls under it.
      const answerBackground = await page.locator("#realzins").evaluate((line) => getComputedStyle(line).backgroundColor);
      expect(`${state}: answer's background ${answerBackground}`, media === "print" || query === "" || /^rgb\(/.test(answerBackground));
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
  const error = await visitor.goto(`${offlineServer.origin}/${query}`).then(() => null, ({ message }) => message.split("\n")[0]);
  if (error !== null) return error;
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
// Any rates in the address, as bookmarked or shared, with the page's name or
// the folder's.
for (const [i, { nominal, inflation, multiLine }] of fc.sample(pageStates, { seed: 31, numRuns: 4 }).entries()) {
  const query = `${["", "index.html"][i % 2]}?${new URLSearchParams({ zins: nominal.typed, inflation: inflation.typed })}${multiLine ? "&m" : ""}`;
  expectEqual(`offline: ${query}`, await visit(query),
    JSON.stringify([native(nominal.handed, inflation.handed, ...(multiLine ? ["-m"] : [])), 0]));
}
expectEqual("offline: nothing served", offlineServer.served.length, servedOnline);
await axeFinds("offline", visitor);
await profile.setOffline(false);
// Another cache of the same origin, which is none of the page's business.
await visitor.evaluate(() => caches.open("andere").then((cache) => cache.put("andere", new Response("andere"))));
const edit = (file, from, to) => writeFileSync(join(scratch, "web", file), readFileSync(join(scratch, "web", file), "utf8").replace(from, to));
const pageHash = () => createHash("sha256").update(readFileSync(join(scratch, "web", "index.html"))).digest("hex");
const oldHash = pageHash();
edit("index.html", "</main>", "<p id=\"neu\"></p></main>");
edit("sw.js", /tarvelin-\w+/, "tarvelin-neu");
// A new build's worker knows its page by the page's hash.
edit("sw.js", oldHash, pageHash());
expectEqual("new build: the cached page once more", await visit("?zins=5&inflation=2"),
  JSON.stringify([expectedFile("5_2.out"), 0]));
const cacheNames = () => visitor.evaluate(async () => (await caches.keys()).sort().join());
for (let wait = 0; wait < 100 && await cacheNames() !== "andere,tarvelin-neu"; ++wait) await visitor.waitForTimeout(50);
expectEqual("new build: taken at the next visit", await visit("?zins=5&inflation=2"),
  JSON.stringify([expectedFile("5_2.out"), 1]));
// The old build's cache gone, the other one kept, and the new cache holding
// the new build's page and, of its other files, those the browser asked for,
// each as served. The module is for WASI runtimes: the page holds it inlined.
expectEqual("new build: caches", await cacheNames(), "andere,tarvelin-neu");
const digest = (bytes) => createHash("sha256").update(bytes).digest("hex");
const cachedFiles = await visitor.evaluate(async () => {
  const cache = await caches.open("tarvelin-neu");
  const hex = (buffer) => [...new Uint8Array(buffer)].map((byte) => byte.toString(16).padStart(2, "0")).join("");
  return Promise.all((await cache.keys()).map(async (request) => `${new URL(request.url).pathname.slice(1)} ${
    hex(await crypto.subtle.digest("SHA-256", await (await cache.match(request)).arrayBuffer()))}`));
});
const builtFiles = readdirSync(join(scratch, "web")).filter((file) => !["sw.js", "tarvelin.wasm"].includes(file))
  .map((file) => `${file} ${digest(readFileSync(join(scratch, "web", file)))}`);
expect(`new build: cached files ${cachedFiles}`, cachedFiles.some((line) => line.startsWith("index.html "))
  && cachedFiles.every((line) => builtFiles.includes(line)));
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
