#!/bin/bash
# A catalogue handed to Slurm as a job array of two books a task, on a
# private one-node cluster this test starts on 127.0.0.1 (munge with a key
# of its own, slurmctld and slurmd with a generated slurm.conf, all stopped
# at the end): one task is
# cancelled half-way and requeued; the manifest ends with every book done,
# the state can be asked while the array runs, and the books are those a
# local run makes.
set -u
varlo=$(realpath "$1/varlo")
for tool in munged slurmctld slurmd sbatch squeue scancel scontrol; do
  if ! command -v $tool >/dev/null; then
    echo "$tool missing (Debian packages slurm-wlm and munge): the Slurm catalogue test is skipped"
    exit 0
  fi
done
work=$(mktemp -d)
chmod 755 "$work"   # munge wants every directory above its socket searchable
S="$work/slurm"
pids=()
job=""
cleanup() {
  if [ -n "$job" ]; then
    scancel "$job" 2>/dev/null
    for _ in $(seq 100); do [ -z "$(squeue -h -j "$job" 2>/dev/null)" ] && break; sleep 0.1; done
  fi
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/catalogue_lib.sh"
fail() { echo "FALHA: $*"; tail -3 "$S"/log/*.log "$work"/destino/.catalogo/slurm-*.txt 2>/dev/null; exit 1; }

mkdir -p "$S/munge" "$S/state" "$S/spool" "$S/log"
chmod 755 "$S" "$S/munge"
head -c 1024 /dev/urandom > "$S/munge/key"
chmod 400 "$S/munge/key"
munged -F -f --socket="$S/munge/sock" --key-file="$S/munge/key" --log-file="$S/log/munged.log" \
  --pid-file="$S/munge/pid" --seed-file="$S/munge/seed" 2>/dev/null &
pids+=($!)

read -r ctld_port d_port < <(python3 -c 'import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
node=$(hostname -s)
cat > "$S/slurm.conf" <<EOF
ClusterName=varlo
SlurmctldHost=$node(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$d_port
SlurmUser=$(id -un)
SlurmdUser=$(id -un)
AuthType=auth/munge
AuthInfo=socket=$S/munge/sock
CredType=cred/munge
StateSaveLocation=$S/state
SlurmdSpoolDir=$S/spool
SlurmctldPidFile=$S/slurmctld.pid
SlurmdPidFile=$S/slurmd.pid
SlurmctldLogFile=$S/log/slurmctld.log
SlurmdLogFile=$S/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
ReturnToService=2
NodeName=$node NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN
PartitionName=livros Nodes=$node Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF="$S/slurm.conf"
for _ in $(seq 100); do [ -S "$S/munge/sock" ] && break; sleep 0.05; done
slurmctld -D -i -f "$SLURM_CONF" 2>/dev/null &
pids+=($!)
slurmd -D -f "$SLURM_CONF" 2>/dev/null &
pids+=($!)
for _ in $(seq 200); do sinfo -h -o %T 2>/dev/null | grep -q idle && break; sleep 0.1; done
sinfo -h -o %T 2>/dev/null | grep -q idle ||
  fail "o Slurm particular não ficou pronto: $(tail -3 "$S"/log/*.log)"

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless \
  VARLO_AUDIO=null
mkdir -p "$XDG_CONFIG_HOME/murena" "$XDG_RUNTIME_DIR" "$work/origem"
printf '[VARLO]\nQUEBRARLINHA=4\nCLEK=NAO\n' > "$XDG_CONFIG_HOME/murena/Murena.ini"
fortunes=$(grep -v '^%' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$')
for n in 1 2 3 4 5 6; do
  sed -n "$((n * 11)),$((n * 11 + 9))p" <<<"$fortunes" > "$work/origem/livro$n.txt"
done
D="$work/destino"

job=$("$varlo" --catalogo --slurm --particao livros --tempo 10 --simultaneas 2 --livros-por-tarefa 2 \
  "$work/origem" "$D" 2>"$work/erros") || fail "o envio falhou: $(cat "$work/erros")"
[[ "$job" =~ ^[0-9]+$ ]] || fail "sem número de trabalho: $job"

# The first book under way is cancelled half-way, then requeued.
i=0
until victim=$(states | awk '$2 == "convertendo" {print $1; exit}'); [ -n "$victim" ]; do
  sleep 0.05; i=$((i + 1)); [ $i -lt 600 ] || fail "nenhum livro começou: $(states)"
done
line=$(grep -nx "$victim" "$D"/.catalogo/slurm-*.lista | cut -d: -f1)
task=$(( (line + 1) / 2 ))
scancel "${job}_$task" || fail "scancel falhou"
i=0
while squeue -h -j "${job}_$task" -t R,CG 2>/dev/null | grep -q .; do
  sleep 0.05; i=$((i + 1)); [ $i -lt 400 ] || fail "a tarefa cancelada não terminou"
done
[ ! -e "$D/$victim" ] || fail "o livro cancelado parece pronto"
"$varlo" --catalogo --estado "$D" > "$work/estado" || fail "--estado falhou durante o trabalho"
grep -q '^Catálogo de ' "$work/estado" || fail "estado: $(cat "$work/estado")"
scontrol requeue "${job}_$task" || fail "requeue falhou"
scontrol update JobId="${job}_$task" StartTime=now 2>/dev/null

i=0
while squeue -h -j "$job" 2>/dev/null | grep -q .; do
  sleep 0.1; i=$((i + 1)); [ $i -lt 900 ] || fail "o trabalho não terminou: $(squeue -h -j "$job")"
done
job=""
[ "$(states | grep -c ' feito$')" -eq 6 ] || fail "manifesto: $(states)"
"$varlo" --catalogo --estado "$D" | grep -q 'prontos: 6' || fail "o estado não diz 6 prontos"

# The same catalogue made here, on the local cores, is the same files.
"$varlo" --catalogo "$work/origem" "$work/local" 2>>"$work/erros" || fail "a volta local falhou"
for n in 1 2 3 4 5 6; do same_book "$D/livro$n" "$work/local/livro$n"; done
echo ok
