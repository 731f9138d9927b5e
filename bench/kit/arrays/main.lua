-- Arrays: a 1-D and a 2-D array filled and summed, several rounds.
local n, side, rounds, total = 1000000, 1000, 8, 0
local a, g = {}, {}
for i = 0, side - 1 do g[i] = {} end
for r = 0, rounds - 1 do
    for i = 0, n - 1 do a[i] = i + r end
    for i = 0, n - 1 do total = total + a[i] end
    for i = 0, side - 1 do
        for j = 0, side - 1 do g[i][j] = i * j + r end
    end
    for i = 0, side - 1 do
        for j = 0, side - 1 do total = total + g[i][j] end
    end
end
print(total)
