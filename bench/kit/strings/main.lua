-- String built-ins in a loop: replace, mid, upper, split.
local function split(s, sep)
    local parts, start = {}, 1
    while true do
        local at = string.find(s, sep, start, true)
        if not at then
            parts[#parts + 1] = string.sub(s, start)
            return parts
        end
        parts[#parts + 1] = string.sub(s, start, at - 1)
        start = at + #sep
    end
end

local n, total = 3000000, 0
for i = 1, n do
    local s = "item" .. i .. ",alpha,beta,gamma,delta"
    local t = string.gsub(s, "a", "A")
    local u = string.upper(string.sub(t, 2, 7))
    local p = split(t, ",")
    total = total + #u + #p + #p[#p]
    if p[2] == "AlphA" then total = total + 1 end
    if string.sub(u, 1, 3) == "TEM" then total = total + 1 end
end
print(total)
