# String built-ins in a loop: replace, mid, upper, split.
def main(n):
    total = 0
    for i in range(1, n + 1):
        s = "item" + str(i) + ",alpha,beta,gamma,delta"
        t = s.replace("a", "A")
        u = t[1:7].upper()
        p = t.split(",")
        total += len(u) + len(p) + len(p[-1])
        if p[1] == "AlphA":
            total += 1
        if u[:3] == "TEM":
            total += 1
    return total


print(main(3000000))
