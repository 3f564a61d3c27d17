-- The same program as script_mix.scr.
local function fib(n)
  if n < 2 then return n end
  return fib(n - 1) + fib(n - 2)
end
local function chave(i)
  return "p" .. (i * 31 % 1009)
end
local function somalista(l, de, ate)
  local s = 0
  for k = de, ate do s = s + l[k] end
  return s
end
local n = 400000
local crivo = {}
for i = 0, n do crivo[i] = 1 end
local p = 2
while p * p <= n do
  if crivo[p] == 1 then
    local m = p * p
    while m <= n do
      crivo[m] = 0
      m = m + p
    end
  end
  p = p + 1
end
local primos = somalista(crivo, 2, n)
local f = fib(24)
local d, size = {}, 0
for i = 1, 300000 do
  local k = chave(i)
  if d[k] == nil then d[k] = 0; size = size + 1 end
  d[k] = d[k] + 1
end
local maior = 0
for _, v in pairs(d) do
  if v > maior then maior = v end
end
print(primos, f, size, maior)
