-- A regular-expression match and a replace on every line of generated text
-- (Lua has no regular expressions: its own patterns express the same two).
local n, total = 500000, 0
for i = 1, n do
    local s = "order " .. i .. " on 2024-" .. (i % 12 + 1) .. "-" .. (i % 28 + 1) .. " total " .. (i % 1000)
    local _, month, day = string.match(s, "(%d+)-(%d+)-(%d+)")
    total = total + tonumber(month) + tonumber(day)
    total = total + #string.gsub(s, "%d+", "N")
end
print(total)
