-- A map with string keys: insert, then rounds of lookups of present and absent keys.
local n, rounds, total, count = 100000, 20, 0, 0
local m = {}
for i = 1, n do
    m["key" .. i] = i
    count = count + 1
end
for r = 1, rounds do
    for i = 1, n do
        local v = m["key" .. i]
        if v ~= nil then total = total + v end
        if m["nokey" .. i] ~= nil then total = total + 1 end
    end
end
print(total + count)
