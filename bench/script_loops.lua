-- The same work as script_loops.scr.
local function quadrado(n) return n * n end
local x, i = 0, 0
while i < 5000000 do
  x = (x + i % 7) % 1000003
  i = i + 1
end
for j = 1, 1500000 do
  x = (x + quadrado(j % 100)) % 1000003
end
local l = {}
for j = 0, 499999 do l[j + 1] = j % 13 end
local s = 0
for _, v in ipairs(l) do s = s + v end
print(x, s)
