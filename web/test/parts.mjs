// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The built page as files:
//   node parts.mjs WEB-FOLDER STRTOD-END SOURCE-FOLDER MODULE CMAKE PNGTOPAM PAMENLARGE PAMTOPNG
// The module imports only the WASI functions the page provides, the page
// embeds that same module, the page reads a rate as far as the C library's
// strtod does (STRTOD-END prints how far that is), the page names nothing
// outside itself, the folder holds the page's files alone, and any change to
// them gives the service worker a cache of a new name.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { appendFileSync, copyFileSync, cpSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";

const [webDir, strtodEnd, sourceDir, modulePath, cmake, ...netpbm] = process.argv.slice(2);
const moduleBytes = readFileSync(join(webDir, "tarvelin.wasm"));
const page = readFileSync(join(webDir, "index.html"), "utf8");

// Every import beyond these would leave the page unable to run the module
// (or, provided, give it a way out of the page).
const module = new WebAssembly.Module(moduleBytes);
const imports = WebAssembly.Module.imports(module)
  .map(({ module: from, name, kind }) => `${from}.${name} ${kind}`)
  .sort();
assert.deepEqual(imports, [
  "wasi_snapshot_preview1.args_get function",
  "wasi_snapshot_preview1.args_sizes_get function",
  "wasi_snapshot_preview1.fd_close function",
  "wasi_snapshot_preview1.fd_fdstat_get function",
  "wasi_snapshot_preview1.fd_seek function",
  "wasi_snapshot_preview1.fd_write function",
  "wasi_snapshot_preview1.proc_exit function",
]);
const pageImports = [...page.matchAll(/^ {4}(\w+)\([\w, ]*\) \{$/gm)].map((match) => match[1]).sort();
assert.deepEqual(pageImports, imports.map((entry) => entry.split(/[. ]/)[1]));

const embedded = page.match(/const moduleBase64 = "([A-Za-z0-9+/=]+)";/);
assert.ok(embedded, "no module in the page");
assert.ok(Buffer.from(embedded[1], "base64").equals(moduleBytes), "the page embeds another module");

// How far a rate is read, the page's grammar against the C library's strtod.
const strtodPattern = new Function(`return ${page.match(/const strtodPattern =\n\s*(\/.+\/i);/)[1]};`)();
const readTexts = ["5", " 5 ", "5%", "5 %", "1e1", "0x10", "inf", "nan", "-nan", "3,5", "1.000,5",
  "\u22122", "abc", " ", "   ", "\u00a05", "\t5", "\n5", "\v5", "\f5", "\r5", "\t\n\v\f\r -7", "+", "-",
  "+-1", "--1", "0x", "0X", "0x.", "0x.8", "0x1.", "0x1p", "0x1p3", "0x1P-3x", "0xg", "0x1e+5", "0x1p1f", "0x1p2a",
  "1e", "1e+", "1e-3", "1E3", "1e3.5", ".5", "5.", ".", "-.", ".e1", "5.e1", "00012", "1.2.3", "infinit", "infinity",
  "INFINITY5", "-Inf", "+inFinIty", "infx", "in", "nan(", "nan(1)", "nan(1", "NaN(abc_9)", "nan(-1)",
  "nan()", "nanx", "-nan(0x1)", "1_000", "1'000", "½", "€5", "５", "0.0000001", "1e99999", "7,5 %"];
const cEnds = execFileSync(strtodEnd, readTexts, { encoding: "utf8" }).trim().split("\n").map(Number);
readTexts.forEach((text, i) => {
  const match = strtodPattern.exec(text);
  assert.equal(match === null ? 0 : match[0].length, cEnds[i], `read length of ${JSON.stringify(text)}`);
});

// No address of anything to load: no attributes that fetch, no url(), no
// scheme, no import; the one image is data, the one file the manifest beside
// the page, which names only files beside it.
for (const pattern of [/\s(?:src|href|action|srcset)\s*=\s*(?!"?data:|"manifest\.webmanifest")/i, /url\(/i, /:\/\//, /@import/, /\bimport\b[\s("']/]) {
  assert.doesNotMatch(page, pattern);
}
assert.doesNotMatch(readFileSync(join(webDir, "manifest.webmanifest"), "utf8"), /:\/\/|"(?:\.\.)?\//);
// What is served and packed: the page's files, no scratch file beside them;
// each icon, inside the manifest, as large as the manifest says (a PNG's
// width and height stand at bytes 16 and 20).
const pageFiles = ["index.html", "manifest.webmanifest", "sw.js", "tarvelin.wasm"];
assert.deepEqual(readdirSync(webDir).sort(), pageFiles);
for (const { src, sizes } of JSON.parse(readFileSync(join(webDir, "manifest.webmanifest"), "utf8")).icons) {
  const png = Buffer.from(src.replace(/^data:image\/png;base64,/, ""), "base64");
  assert.equal(sizes, `${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`, `the ${sizes} icon's size`);
}

// A returning visitor takes a new build because its worker names another
// cache: builds that change any of the files, each in turn, each get a name
// of their own, and the same sources give the same name.
const scratch = mkdtempSync(join(tmpdir(), "tarvelin-builds-"));
const [pngtopam, pamenlarge, pamtopng] = netpbm;
function build(name, change) {
  const sources = join(scratch, name, "sources");
  cpSync(sourceDir, sources, { recursive: true, filter: (path) => !/node_modules|test$/.test(path) });
  const module = join(scratch, name, "tarvelin.wasm");
  copyFileSync(modulePath, module);
  change(sources, module);
  const output = join(scratch, name, "web");
  execFileSync(cmake, [`-DSOURCE_DIR=${sources}`, `-DMODULE=${module}`, `-DOUTPUT_DIR=${output}`, `-DPNGTOPAM=${pngtopam}`,
    `-DPAMENLARGE=${pamenlarge}`, `-DPAMTOPNG=${pamtopng}`, "-P", join(sources, "assemble.cmake")]);
  const files = Object.fromEntries(pageFiles.map((file) => [file, readFileSync(join(output, file))]));
  return { files, cache: /"(tarvelin-\w+)"/.exec(files["sw.js"].toString())[1] };
}
const edit = (file, from, to) => (sources) => {
  const text = readFileSync(join(sources, file), "utf8");
  assert.ok(text.includes(from), `${from} in ${file}`);
  writeFileSync(join(sources, file), text.replace(from, to));
};
// The page's 16-pixel icon, turned: another picture for the enlarged icons.
const turnedIcon = (sources) => {
  const [, icon] = /href="data:image\/png;base64,([^"]+)/.exec(readFileSync(join(sources, "index.html"), "utf8"));
  const turned = execFileSync(pamtopng, { input: execFileSync(join(dirname(pamtopng), "pamflip"), ["-r90"],
    { input: execFileSync(pngtopam, ["-alphapam"], { input: Buffer.from(icon, "base64") }) }) });
  edit("index.html", icon, turned.toString("base64"))(sources);
};
const original = build("original", () => {});
assert.equal(build("again", () => {}).cache, original.cache, "the same sources, another cache");
const changed = new Set();
for (const [name, change] of [["page", edit("index.html", "</main>", "<p></p></main>")], ["style", edit("tarvelin.css", "}", "}\n")],
  ["script", edit("tarvelin.js", "\n", "\n\n")], ["tables", edit("states.js", "\n", "\n\n")], ["manifest", edit("manifest.webmanifest", "\n", "\n\n")],
  ["icon", turnedIcon], ["module", (sources, module) => appendFileSync(module, Buffer.from([0, 2, 1, 0x78]))]]) {
  const { files, cache } = build(name, change);
  const differ = pageFiles.filter((file) => file !== "sw.js" && !files[file].equals(original.files[file]));
  assert.ok(differ.length > 0 && cache !== original.cache, `a new ${name}: ${differ} changed, cache ${cache}`);
  differ.forEach((file) => changed.add(file));
}
assert.deepEqual([...changed].sort(), pageFiles.filter((file) => file !== "sw.js"));
rmSync(scratch, { recursive: true });
console.log(`${imports.length} imports, ${moduleBytes.length} bytes of module, ${readTexts.length} read lengths and page checked`);
