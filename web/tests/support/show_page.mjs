// show_page.mjs: asks the page how the show stands: its state and frame
// count (window.quorvan), and what its music worklet says.
import {setTimeout as sleep} from 'node:timers/promises';

export const page_state = (page) => page.evaluate(() => window.quorvan.state);
export const frames_drawn = (page) => page.evaluate(() => window.quorvan.frames);

// Waits until the page's state is `state`; throws after `seconds`.
export async function wait_for_state(page, state, seconds) {
  for (const started = Date.now(); Date.now() - started < seconds * 1000; await sleep(100)) {
    if (await page_state(page) === state) return;
  }
  throw new Error(`the page did not reach '${state}' within ${seconds} s (it is '${await page_state(page)}')`);
}

// What the worklet says of the music: {position in seconds, peak of its last block}.
export function music_status(page) {
  return page.evaluate(() => new Promise((resolve, reject) => {
    setTimeout(() => reject(new Error('the music worklet does not answer')), 5000);
    const port = window.quorvan.music.node.port;
    const page_listener = port.onmessage;
    port.onmessage = (event) => {
      if (event.data.type !== 'status') return page_listener(event);
      port.onmessage = page_listener;
      resolve(event.data);
    };
    port.postMessage({type: 'status'});
  }));
}
