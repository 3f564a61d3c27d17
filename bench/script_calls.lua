-- The same work as script_calls.scr.
local function mistura(a, b, c) return (a * 31 + b * 7 + c) % 1000003 end
local function soma2(a, b) return a + b end
local function caminhos(l, c)
  if l == 0 then return 1 end
  if c == 0 then return 1 end
  return caminhos(l - 1, c) + caminhos(l, c - 1)
end
local function tak(x, y, z)
  if y < x then return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y)) end
  return z
end
local x = 0
for j = 1, 1000000 do x = mistura(x, j % 100, soma2(j, 3)) end
print(x, caminhos(12, 12), tak(24, 16, 8))
