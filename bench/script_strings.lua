-- The same work as script_strings.scr.
local t = 0
for i = 1, 1000000 do
  local s = "n" .. i .. ":" .. (i % 7)
  t = t + #s + (s:sub(2, 2) == "1" and 1 or 0)
end
print(t)
