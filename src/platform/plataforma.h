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

/// Trata SIGINT, SIGTERM e SIGHUP: apaga o temporário registrado e termina pelo mesmo sinal.
/// SIGXFSZ é ignorado, para que um limite de tamanho de arquivo vire um erro de escrita.
void instalar_tratamento_de_sinais();
/// Cria um temporário a partir do modelo (mkstemp) já registrado para o tratamento de sinais.
int criar_temporario(std::string& modelo);
/// Renomeia o temporário registrado para o destino e o tira do registro, sem janela para sinais.
int efetivar_temporario(const std::string& temporario, const std::string& destino);
/// Apaga o temporário registrado e o tira do registro.
void descartar_temporario(const std::string& temporario);
