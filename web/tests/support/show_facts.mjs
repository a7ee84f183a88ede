// show_facts.mjs: the show's facts as the desktop build writes them from their
// definitions (its show_facts file): the show's length, the music's file and
// mix rate.
import {readFileSync} from 'node:fs';
import {join} from 'node:path';

import {native_build} from './paths.mjs';

const facts = new Map(readFileSync(join(native_build, 'show_facts'), 'utf8').trim().split('\n')
  .map((line) => [line.slice(0, line.indexOf(' ')), line.slice(line.indexOf(' ') + 1)]));

export const frames_in_show = Number(facts.get('frames_in_show'));
export const music_file = facts.get('music_file');
export const mix_rate = Number(facts.get('mix_rate'));
