#pragma once

#include <string>
#include <vector>

struct data_local {
    int ano, mes, dia, hora, minuto, segundo;
};

/// Editor de texto sobre o arquivo, esperado até fechar; qualquer falha é ignorada.
void executar_editor(const std::string& arquivo);
/// Tempo de processador do processo, em segundos.
double tempo_processador();
/// Tempo de relógio monotônico, em segundos.
double tempo_parede();
/// Data e hora locais de agora.
data_local hora_local();
/// Processadores que o processo pode usar (ao menos 1).
int processadores_disponiveis();
/// Memória que ainda pode ser obtida, em bytes; -1 quando não se sabe.
long long memoria_disponivel();
/// Roda um programa (procurado no PATH) e espera; o código de saída, ou -1 se não pôde começar.
int executar_programa(const std::vector<std::string>& argumentos);
