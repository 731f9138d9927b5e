# One long string built by appending.
def main(n):
    s = ""
    for i in range(1, n + 1):
        s += "ab" + str(i)
    return len(s)


print(main(8000000))
