# Arrays: a 1-D and a 2-D array filled and summed, several rounds.
def main(n, side, rounds):
    a = [0] * n
    g = [[0] * side for _ in range(side)]
    total = 0
    for r in range(rounds):
        for i in range(n):
            a[i] = i + r
        for i in range(n):
            total += a[i]
        for i in range(side):
            for j in range(side):
                g[i][j] = i * j + r
        for i in range(side):
            for j in range(side):
                total += g[i][j]
    return total


print(main(1000000, 1000, 8))
