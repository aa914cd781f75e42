#!/usr/bin/env python3
"""Reads each awkward page of cases.py with headless Chromium's own HTML and URL
parsers and writes the links it finds to tests/probes/data/browser_pages.json,
the table BrowserPagesTest holds our reader to. Needs Debian's chromium."""
import html
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from cases import CASES, PAGE_ADDRESS  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
OUT = os.path.join(ROOT, "tests", "probes", "data", "browser_pages.json")

# DOMParser parses as a browser with scripts off (noscript is markup, as a crawler reads it);
# addresses resolve against the first <base href>, else the page address.
HARNESS = r"""<!doctype html><meta charset=utf-8><pre id=out></pre><script>
const cases = %s, page = %s;
const spaces = s => s.replace(/\s+/g, ' ').trim();
const out = cases.map(([name, text]) => {
  const doc = new DOMParser().parseFromString(text, 'text/html');
  let base = page;
  const b = doc.querySelector('base[href]');
  if (b) { try { base = new URL(b.getAttribute('href'), page).href; } catch (e) {} }
  const links = [...doc.links].filter(a => a.localName === 'a').map(a => {
    let address = '-';
    try {
      const u = new URL(a.getAttribute('href'), base);
      if ((u.protocol === 'http:' || u.protocol === 'https:') && u.host) address = u.href;
    } catch (e) {}
    let t = spaces(a.textContent);
    const img = a.querySelector('img');
    if (!t && img) t = spaces(img.getAttribute('alt') || '') || '图片链接';
    const hidden = a.hasAttribute('hidden') || a.style.display === 'none' || a.style.visibility === 'hidden';
    return address + ' "' + t + '"' + (hidden ? ' hidden' : '');
  });
  return {name, html: text, read: links.join(' | ')};
});
document.getElementById('out').textContent = JSON.stringify(out);
</script>"""


def scriptSafe(value):
    """JSON that cannot end or escape the harness's own script."""
    return json.dumps(value).replace("<", "\\u003c")


def main():
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "harness.html")
        with open(path, "w", encoding="utf-8") as f:
            f.write(HARNESS % (scriptSafe(CASES), scriptSafe(PAGE_ADDRESS)))
        dom = subprocess.run(["chromium", "--headless", "--disable-gpu", "--no-sandbox", "--dump-dom",
                              "file://" + path], capture_output=True, text=True, check=True).stdout
    found = re.search(r'<pre id="out">(.*?)</pre>', dom, re.S)
    rows = json.loads(html.unescape(found.group(1)))
    with open(OUT, "w", encoding="utf-8") as f:
        json.dump({"page": PAGE_ADDRESS, "rows": rows}, f, ensure_ascii=False, indent=1)
        f.write("\n")
    print(f"{len(rows)} pages written to {OUT}")


if __name__ == "__main__":
    main()
