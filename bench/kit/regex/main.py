# A regular-expression match and a replace on every line of generated text.
import re


def main(n):
    date = re.compile(r"(\d+)-(\d+)-(\d+)")
    digits = re.compile(r"\d+")
    total = 0
    for i in range(1, n + 1):
        s = "order " + str(i) + " on 2024-" + str(i % 12 + 1) + "-" + str(i % 28 + 1) + " total " + str(i % 1000)
        m = date.search(s)
        total += int(m.group(2)) + int(m.group(3))
        total += len(digits.sub("N", s))
    return total


print(main(500000))
