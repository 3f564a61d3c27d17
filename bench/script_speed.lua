-- The same work as script_speed.scr.
local total = 0
for i = 1, 26000 do
  local linha = ""
  local l = {}
  for j = 1, 200 do
    total = total + (i * j) % 7
    linha = linha .. tostring(j % 10)
    l[j] = (i * 31 + j * 17) % 97
  end
  table.sort(l)
  local p = -1
  for k = 1, #l do
    if l[k] == 50 then p = k - 1; break end
  end
  local pecas = 1
  for _ in linha:gmatch("5") do pecas = pecas + 1 end
  linha = linha:gsub("12", "x")
  total = total + l[1] + l[200] + p + pecas + #linha
end
print(total)
