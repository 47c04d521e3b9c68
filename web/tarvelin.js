// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The page is a thin shell around the console program, compiled to
// WebAssembly: the fields become its arguments, and what it writes to standard
// output is shown as text. No figure is computed or formatted here.

// The module's bytes, written in by the build.
const moduleBase64 = "@TARVELIN_MODULE_BASE64@";

// The name the program sees as argv[0]; the usage text shows it.
const programName = "tarvelin";

// The program writes code page 850. Its lower half is ASCII; this is the upper
// half, bytes 0x80 to 0xFF (browsers have no decoder for it).
const cp850UpperHalf =
  "ÇüéâäàåçêëèïîìÄÅ" +
  "ÉæÆôöòûùÿÖÜø£Ø×ƒ" +
  "áíóúñÑªº¿®¬½¼¡«»" +
  "░▒▓│┤ÁÂÀ©╣║╗╝¢¥┐" +
  "└┴┬├─┼ãÃ╚╔╩╦╠═╬¤" +
  "ðÐÊËÈıÍÎÏ┘┌█▄¦Ì▀" +
  "ÓßÔÒõÕµþÞÚÛÙýÝ¯´" +
  "\u00AD±‗¾¶§÷¸°¨·¹³²■\u00A0";

function decodeCp850(bytes) {
  let text = "";
  for (const byte of bytes) {
    text += byte < 0x80 ? String.fromCharCode(byte) : cp850UpperHalf[byte - 0x80];
  }
  return text;
}

// The few WASI functions the program imports: its arguments, writes to
// standard output and error, and its exit. Nothing else is offered, so the
// module cannot reach a file, a clock or the network.
const errnoSuccess = 0;
const errnoBadf = 8;
const errnoSpipe = 70;
const filetypeCharacterDevice = 2;
const rightFdWrite = 64n;

class ProgramExit {
  constructor(status) {
    this.status = status;
  }
}

function runProgram(module, args) {
  const encoder = new TextEncoder();
  const argBytes = args.map((arg) => encoder.encode(`${arg}\0`));
  const stdout = [];
  let memory = null;

  const wasi = {
    args_sizes_get(countAt, sizeAt) {
      const view = new DataView(memory.buffer);
      view.setUint32(countAt, argBytes.length, true);
      view.setUint32(sizeAt, argBytes.reduce((sum, arg) => sum + arg.length, 0), true);
      return errnoSuccess;
    },
    args_get(argvAt, bufferAt) {
      const view = new DataView(memory.buffer);
      let at = bufferAt;
      argBytes.forEach((arg, i) => {
        view.setUint32(argvAt + 4 * i, at, true);
        new Uint8Array(memory.buffer, at, arg.length).set(arg);
        at += arg.length;
      });
      return errnoSuccess;
    },
    fd_write(fd, iovsAt, iovsCount, writtenAt) {
      if (fd !== 1 && fd !== 2) return errnoBadf;
      const view = new DataView(memory.buffer);
      let written = 0;
      for (let i = 0; i < iovsCount; ++i) {
        const at = view.getUint32(iovsAt + 8 * i, true);
        const length = view.getUint32(iovsAt + 8 * i + 4, true);
        // Standard error only carries the notice of a failed write, which
        // cannot happen here.
        if (fd === 1) stdout.push(new Uint8Array(memory.buffer, at, length).slice());
        written += length;
      }
      view.setUint32(writtenAt, written, true);
      return errnoSuccess;
    },
    fd_fdstat_get(fd, statAt) {
      if (fd > 2) return errnoBadf;
      // A terminal: not seekable, so the C library buffers by lines.
      const view = new DataView(memory.buffer);
      view.setUint8(statAt, filetypeCharacterDevice);
      view.setUint16(statAt + 2, 0, true);
      view.setBigUint64(statAt + 8, rightFdWrite, true);
      view.setBigUint64(statAt + 16, 0n, true);
      return errnoSuccess;
    },
    fd_seek() {
      return errnoSpipe;
    },
    fd_close(fd) {
      return fd <= 2 ? errnoSuccess : errnoBadf;
    },
    proc_exit(status) {
      throw new ProgramExit(status);
    },
  };

  // A command runs once per instance: each run gets fresh memory, as a
  // process would.
  const instance = new WebAssembly.Instance(module, { wasi_snapshot_preview1: wasi });
  memory = instance.exports.memory;
  try {
    instance.exports._start();
  } catch (error) {
    if (!(error instanceof ProgramExit)) throw error;
  }
  // One byte is one character: the chunks decode one by one.
  return stdout.map(decodeCp850).join("");
}

// The fields as the program's arguments, each one word as if quoted in a
// shell. With a field empty the program gets fewer than two rates and shows
// its usage text; "-m" would then be read as a rate, so it is left out.
function programArguments(nominal, inflation, multiLine) {
  if (nominal === "" || inflation === "") {
    return [programName, ...[nominal, inflation].filter((text) => text !== "")];
  }
  return multiLine ? [programName, nominal, inflation, "-m"] : [programName, nominal, inflation];
}

// ?zins=5&inflation=2&m: what the fields hold, so that a report can be
// bookmarked and shared.
function addressQuery(nominal, inflation, multiLine) {
  const parts = [];
  if (nominal !== "") parts.push(`zins=${encodeURIComponent(nominal)}`);
  if (inflation !== "") parts.push(`inflation=${encodeURIComponent(inflation)}`);
  if (multiLine) parts.push("m");
  return parts.length > 0 ? `?${parts.join("&")}` : "";
}

function base64Bytes(text) {
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

function start() {
  const form = document.getElementById("eingabe");
  const nominalField = form.elements.zins;
  const inflationField = form.elements.inflation;
  const multiLineChoice = form.querySelector('input[value="mehrzeilig"]');
  const singleLineChoice = form.querySelector('input[value="einzeilig"]');
  const output = document.getElementById("ausgabe");

  const query = new URLSearchParams(window.location.search);
  nominalField.value = query.get("zins") ?? "";
  inflationField.value = query.get("inflation") ?? "";
  (query.has("m") ? multiLineChoice : singleLineChoice).checked = true;

  // Compiled here, at once: the module is small, and the report should not
  // wait for a round through another thread.
  let module;
  try {
    module = new WebAssembly.Module(base64Bytes(moduleBase64));
  } catch (error) {
    output.textContent = `Das Programm konnte nicht geladen werden: ${error.message}`;
    return;
  }

  const show = () => {
    const nominal = nominalField.value;
    const inflation = inflationField.value;
    const multiLine = multiLineChoice.checked;
    // Text, never markup: whatever was typed stays text.
    output.textContent = runProgram(module, programArguments(nominal, inflation, multiLine));
    const address = `${window.location.pathname}${addressQuery(nominal, inflation, multiLine)}`;
    window.history.replaceState(null, "", address);
  };
  form.addEventListener("input", show);
  form.addEventListener("submit", (event) => event.preventDefault());
  show();
}

start();
