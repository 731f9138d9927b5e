# A map with string keys: insert, then rounds of lookups of present and absent keys.
def main(n, rounds):
    m = {}
    for i in range(1, n + 1):
        m["key" + str(i)] = i
    total = 0
    for r in range(rounds):
        for i in range(1, n + 1):
            k = "key" + str(i)
            if k in m:
                total += m[k]
            if ("nokey" + str(i)) in m:
                total += 1
    return total + len(m)


print(main(100000, 20))
