// Serviços do sistema operacional usados pela execução: editor, relógios e data local.
#pragma once

#include <string>

struct data_local {
    int ano, mes, dia, hora, minuto, segundo;
};

/// Abre o arquivo no editor do usuário e espera; falhas são ignoradas.
void executar_editor(const std::string& arquivo);
/// Tempo de processador do processo (usuário + sistema), em segundos.
double tempo_processador();
/// Data e hora locais deste instante.
data_local hora_local();
