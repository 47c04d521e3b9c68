// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The built page as files: node parts.mjs WEB-FOLDER. The module imports only
// the WASI functions the page provides, the page embeds that same module, the
// code page table is code page 850 as the C library's iconv has it, and the
// page names nothing outside itself.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { join } from "node:path";

const webDir = process.argv[2];
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
const pageImports = [...page.matchAll(/^ {4}(\w+)\(/gm)].map((match) => match[1]).sort();
assert.deepEqual(pageImports, imports.map((entry) => entry.split(/[. ]/)[1]));

const embedded = page.match(/const moduleBase64 = "([A-Za-z0-9+/=]+)";/);
assert.ok(embedded, "no module in the page");
assert.ok(Buffer.from(embedded[1], "base64").equals(moduleBytes), "the page embeds another module");

// The table as the page carries it, evaluated as the page would.
const tableSource = page.match(/const cp850UpperHalf =\n([^;]+);/);
assert.ok(tableSource, "no code page table in the page");
const table = new Function(`return ${tableSource[1]};`)();
const upperHalf = Buffer.from(Array.from({ length: 128 }, (_, i) => 0x80 + i));
const iconvTable = execFileSync("iconv", ["-f", "CP850", "-t", "UTF-8"], { input: upperHalf });
assert.equal(table, iconvTable.toString("utf8"));

// No address of anything to load: no attributes that fetch, no url(), no
// scheme, no import.
for (const pattern of [/\s(?:src|href|action|srcset)\s*=/i, /url\(/i, /:\/\//, /@import/, /\bimport\b[\s("']/]) {
  assert.doesNotMatch(page, pattern);
}
console.log(`${imports.length} imports, ${moduleBytes.length} bytes of module, table and page checked`);
