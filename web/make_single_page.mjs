// make_single_page.mjs: writes quorvan.html, the whole show in one file that
// plays when opened from disk: the page with its style and scripts inline,
// and every other file of the built site (the show's and the mixer's
// WebAssembly, the worklet, the pictures, the module) embedded in base64 as
// window.quorvan_files, which the page reads instead of fetching.
// Usage: node make_single_page.mjs SITE_FOLDER
import {readFileSync, readdirSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';

const site = process.argv[2];
const read = (name) => readFileSync(join(site, name), 'utf8');
// A script's text must not end the element it sits in.
const inline_script = (text) => `<script>${text.replaceAll('</script', '<\\/script')}</script>`;

const inlined = ['index.html', 'page.css', 'page.js', 'quorvan_show.js', 'quorvan.html'];
const files = {};
for (const name of readdirSync(site).sort()) {
  if (!inlined.includes(name)) files[name] = readFileSync(join(site, name)).toString('base64');
}

let page = read('index.html');
const replace = (tag, by) => {
  if (!page.includes(tag)) throw new Error(`index.html has no ${tag}`);
  page = page.replace(tag, () => by);
};
replace('<link rel="stylesheet" href="page.css">', `<style>${read('page.css')}</style>`);
replace('<script src="quorvan_show.js"></script>',
        inline_script(`window.quorvan_files = ${JSON.stringify(files)};`) + '\n  ' + inline_script(read('quorvan_show.js')));
replace('<script src="page.js"></script>', inline_script(read('page.js')));
writeFileSync(join(site, 'quorvan.html'), page);
