-- The same work as script_lists.scr.
local l = {}
for i = 0, 999999 do l[i + 1] = i * 3 % 17 end
local s = 0
for _, v in ipairs(l) do
  if v > 8 then s = s + v end
end
local n = 0
for volta = 1, 4 do
  local i = 0
  while i < 1000000 do
    n = n + l[i + 1] * 2
    i = i + 1
  end
end
print(s, n)
