// node's side of bench/regex_message.sh: the message pattern over a GBK export with matchAll,
// reading every body (group 1, group 2 for the last match).
//
//   node bench/regex_message.js FILE [REPEATS] [FLAGS]
//
// The file is decoded from GBK to a JS string before timing (our side's conversion is timed
// separately). Prints: matches, best matching time in seconds, UTF-16 length of all bodies.
'use strict';
const fs = require('fs');

const [file, repeatsArg, flagsArg] = process.argv.slice(2);
const repeats = Math.max(1, parseInt(repeatsArg || '3', 10));
const flags = flagsArg || 'gmi';
const text = new TextDecoder('gbk').decode(fs.readFileSync(file));
const source =
  '\\d{4}[\\-\\/]\\d{1,2}[\\-\\/]\\d{1,2} {1,4}\\d{1,2}:\\d{1,2}:\\d{1,2}[^\\r\\n]+\\r\\n([\\S\\s]+?)' +
  '(?=\\d{4}[\\-\\/]\\d{1,2}[\\-\\/]\\d{1,2} {1,4}\\d{1,2}:\\d{1,2}:\\d{1,2})|' +
  '\\d{4}[\\-\\/]\\d{1,2}[\\-\\/]\\d{1,2} {1,4}\\d{1,2}:\\d{1,2}:\\d{1,2}[^\\r\\n]+\\r\\n([\\S\\s]+)';

let best = Infinity;
let matches = 0;
let units = 0;
for (let round = 0; round < repeats; round++) {
  const re = new RegExp(source, flags);
  const start = process.hrtime.bigint();
  let count = 0;
  let length = 0;
  for (const m of text.matchAll(re)) {
    const body = m[1] !== undefined ? m[1] : m[2];
    length += body.length;
    count++;
  }
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  best = Math.min(best, seconds);
  matches = count;
  units = length;
}
console.log(`${matches} ${best.toFixed(6)} ${units}`);
