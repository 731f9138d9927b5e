-- Integer and double arithmetic in a loop.
local n, total, x = 15000000, 0, 0.5
for i = 1, n do
    total = total + i * 2 - 1
    x = x * 1.000001 + 0.5 / i
end
print(total .. " " .. math.floor(x * 1000000))
