# Writing a file line by line, then reading it back line by line.
def main(n):
    name = "kit_lines_py.txt"
    with open(name, "w", newline="\r\n") as f:
        for i in range(1, n + 1):
            f.write("line " + str(i) + " of the benchmark file\n")
    count = 0
    total = 0
    with open(name) as f:
        for line in f:
            count += 1
            total += len(line.rstrip("\r\n"))
    return "%d %d" % (count, total)


print(main(3000000))
