// browser.mjs: Debian's Chromium, headless, drawing WebGL with SwiftShader on
// the CPU, with nothing that reaches the network on its own.
import puppeteer from 'puppeteer-core';

const chromium_arguments = [
  '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-first-run',
  '--disable-quic',
  '--window-size=800,600',
];

export function launch_browser() {
  // Chromium's sandbox refuses to start as root, which CI runs as.
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: process.getuid?.() === 0 ? [...chromium_arguments, '--no-sandbox'] : chromium_arguments,
  });
}
