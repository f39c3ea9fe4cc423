// Plataforma: as únicas funções que falam com o sistema operacional.
#pragma once

#include <cstddef>
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
/// Processadores que o processo pode usar: máscara de afinidade e cota de CPU do cgroup (ao menos 1).
int processadores_disponiveis();
/// Processos prontos para rodar, média do último minuto (/proc/loadavg); 0 quando não se sabe.
double carga_do_sistema();
/// Processadores inteiros que uma cota permite: cgroup v2 "cota período" (cpu.max) ou v1 cota e período em
/// microssegundos; 0 quando não há cota ("max", cota negativa ou texto ilegível). Só lê o texto.
int processadores_da_cota(const std::string& cota, const std::string& periodo = "");
/// Área de `bytes` bytes zerada, alinhada a página e, quando grande, a 2 MiB com páginas grandes pedidas
/// (madvise MADV_HUGEPAGE); nullptr sem memória. As páginas são tocadas só por quem escreve nelas.
void* reservar_area(std::size_t bytes);
/// Devolve uma área de reservar_area com o mesmo tamanho.
void liberar_area(void* area, std::size_t bytes);
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
