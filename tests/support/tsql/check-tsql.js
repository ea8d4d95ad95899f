// Parses every distinct statement of a recording (UTF-8, each ended by a NUL
// byte) with node-sql-parser's T-SQL grammar.
//   node check-tsql.js RECORDING ALLOW-LIST.json
// Exit status 0 when each one parses or is on the allow-list by its exact text;
// 1 otherwise, naming each that failed and each allow-list entry no longer met.
'use strict';
const fs = require('fs');
const { Parser } = require('node-sql-parser');

const [recording, allowFile] = process.argv.slice(2);
if (!recording || !allowFile) {
  console.error('usage: node check-tsql.js RECORDING ALLOW-LIST.json');
  process.exit(2);
}
const all = fs.readFileSync(recording, 'utf8').split('\0');
all.pop(); // the text after the last statement's NUL
const distinct = [...new Set(all)];
const allowed = new Map(JSON.parse(fs.readFileSync(allowFile, 'utf8')).map((e) => [e.statement, e.why]));

const parser = new Parser();
let parsed = 0;
let allowedSeen = 0;
const failures = [];
for (const statement of distinct) {
  if (allowed.has(statement)) {
    ++allowedSeen;
    allowed.delete(statement);
    continue;
  }
  try {
    parser.astify(statement, { database: 'transactsql' });
    ++parsed;
  } catch (e) {
    failures.push(`${JSON.stringify(statement)}\n  ${e.message.split('\n')[0].slice(0, 200)}`);
  }
}
console.log(`${all.length} statements, ${distinct.length} distinct: ${parsed} parsed, ` +
            `${allowedSeen} on the allow-list, ${failures.length} failed`);
for (const f of failures) console.log(`not T-SQL: ${f}`);
for (const s of allowed.keys()) console.log(`allow-list entry not met: ${JSON.stringify(s)}`);
process.exit(failures.length || allowed.size ? 1 : 0);
