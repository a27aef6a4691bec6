"""Writes the benchmark site: 2,000 pages in 100 nested folders, each page with ten links
and five images, one tag per line (the crawler takes at most one link of each kind from a
line). Returns the relative paths of every file a mirror should fetch."""

import os
import random

TOP_FOLDERS = 10
SUB_FOLDERS = 10
PAGES_PER_FOLDER = 20
LINKS_PER_PAGE = 10
IMAGES_PER_PAGE = 5
IMAGE_BYTES = 2048


def _page_path(number):
    per_top = SUB_FOLDERS * PAGES_PER_FOLDER
    top, rest = divmod(number, per_top)
    sub, page = divmod(rest, PAGES_PER_FOLDER)
    return top, sub, page


def _link(source, target, rng):
    """The target page as written on the source page: relative, parent-relative or rooted."""
    s_top, s_sub, _ = _page_path(source)
    t_top, t_sub, t_page = _page_path(target)
    if (s_top, s_sub) == (t_top, t_sub):
        return f"p{t_page}.htm"
    if s_top == t_top:
        return f"../s{t_sub}/p{t_page}.htm"
    if rng.random() < 0.5:
        return f"../../d{t_top}/s{t_sub}/p{t_page}.htm"
    return f"/d{t_top}/s{t_sub}/p{t_page}.htm"


def _page(number, total, rng):
    _, _, page = _page_path(number)
    targets = [(number + 1) % total]  # a chain through all pages keeps every one reachable
    while len(targets) < LINKS_PER_PAGE:
        targets.append(rng.randrange(total))
    lines = ["<html>", "<head><title>Page %d</title></head>" % number, "<body>",
             "<h1>Page %d</h1>" % number]
    for i, target in enumerate(targets):
        lines.append(f'<p>Paragraph {i} of page {number}: some words to make a page of a '
                     'realistic size, as sites have them.</p>')
        lines.append(f'<a href="{_link(number, target, rng)}">link {i}</a>')
    for j in range(IMAGES_PER_PAGE):
        lines.append(f'<img src="i{(page + j) % PAGES_PER_FOLDER}.gif" alt="picture {j}">')
    lines += ["</body>", "</html>", ""]
    return "\n".join(lines)


def make_site(root):
    rng = random.Random(2000)
    total = TOP_FOLDERS * SUB_FOLDERS * PAGES_PER_FOLDER
    files = ["index.htm"]
    os.makedirs(root, exist_ok=True)
    with open(os.path.join(root, "index.htm"), "w") as index:
        index.write('<html><body>\n<a href="d0/s0/p0.htm">start</a>\n</body></html>\n')
    for number in range(total):
        top, sub, page = _page_path(number)
        folder = os.path.join(root, f"d{top}", f"s{sub}")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, f"p{page}.htm"), "w") as out:
            out.write(_page(number, total, rng))
        files.append(f"d{top}/s{sub}/p{page}.htm")
        with open(os.path.join(folder, f"i{page}.gif"), "wb") as out:
            out.write(b"GIF89a" + rng.randbytes(IMAGE_BYTES - 6))
        files.append(f"d{top}/s{sub}/i{page}.gif")
    return sorted(files)
