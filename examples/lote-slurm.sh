#!/bin/bash
# A parameter study as a Slurm job array: one array task per line of the commands file that
# `placa --sweep ... --summary FILE --commands > comandos.txt` printed. Each task runs line N
# (N = SLURM_ARRAY_TASK_ID, from 1); every run appends its row to the study's summary under a lock.
#
#   placa -n --sweep smoother=gs-lex,gs-rb --sweep nm=4:7 --summary estudo.csv --commands > comandos.txt
#   sbatch --array=1-$(wc -l < comandos.txt) examples/lote-slurm.sh comandos.txt
#   placa --study-table estudo.csv --plot estudo        # when the array is done
#
#SBATCH --job-name=placa-estudo
#SBATCH --ntasks=1
#SBATCH --cpus-per-task=1
#SBATCH --time=00:30:00
#SBATCH --output=placa-%A_%a.out
set -euo pipefail
comandos=${1:-comandos.txt}
n=${SLURM_ARRAY_TASK_ID:?run it as a Slurm array task (sbatch --array=1-N), or set SLURM_ARRAY_TASK_ID}
linha=$(sed -n "${n}p" "$comandos")
[ -n "$linha" ] || { echo "$comandos has no line $n" >&2; exit 2; }
# the line is a shell command that placa quoted itself (cd DIR && placa ... -- INPUT)
exec bash -c "$linha"
