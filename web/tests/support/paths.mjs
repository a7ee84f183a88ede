// paths.mjs: where the tests find what they test and what they compare with.
// The build sets these for each test; the defaults are the usual folders.
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';

export const repository_folder = resolve(dirname(fileURLToPath(import.meta.url)), '../../..');

export const site_folder = process.env.QUORVAN_WEB_SITE ?? join(repository_folder, 'build-web/site');
export const data_folder = process.env.QUORVAN_WEB_DATA ?? join(repository_folder, 'build-web/data-tool/bin');
// The desktop build whose capture tool draws the reference frames.
export const native_build = process.env.QUORVAN_NATIVE_BUILD ?? join(repository_folder, 'build');
export const test_pages_folder = join(repository_folder, 'web/tests/pages');
