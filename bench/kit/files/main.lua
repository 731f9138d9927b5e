-- Writing a file line by line, then reading it back line by line.
local n, name, count, total = 3000000, "kit_lines_lua.txt", 0, 0
local f = assert(io.open(name, "wb"))
for i = 1, n do
    f:write("line ", i, " of the benchmark file\r\n")
end
f:close()
for line in io.lines(name) do
    count = count + 1
    total = total + #line:gsub("\r$", "")
end
print(count .. " " .. total)
