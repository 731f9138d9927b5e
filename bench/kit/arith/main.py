# Integer and double arithmetic in a loop.
def main(n):
    total = 0
    x = 0.5
    for i in range(1, n + 1):
        total += i * 2 - 1
        x = x * 1.000001 + 0.5 / i
    return "%d %d" % (total, int(x * 1000000))


print(main(15000000))
