-- One long string built piece by piece. Lua's strings are immutable and s = s .. x copies the
-- whole string every time, so its idiom is a buffer of pieces joined once.
local n, parts = 8000000, {}
for i = 1, n do
    parts[#parts + 1] = "ab" .. i
end
local s = table.concat(parts)
print(#s)
