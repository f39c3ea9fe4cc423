#pragma once

#include <functional>
#include <string>

#include "run/estado.h"
#include "solver/solver.h"

// Texto UTF-8 do código-fonte para Latin-1 (um byte por caractere).
std::string latin1(const char* utf8);

// Campos de largura fixa da listagem.
std::string inteiro(long v, int w);
std::string cientifico(double v, int w, int d);
std::string fixo(double v, int w, int d);
std::string texto_simples(const std::string& s);
std::string sem_brancos_finais(std::string s);

void data_e_hora(estado_execucao& e);
std::string texto_dia_de(int dia, int mes, int ano);
std::string texto_hora_de(int hora, int minuto, int segundo);

// Texto a caminho de um arquivo. Com destino, esvazia-se nele a cada 64 KiB, de modo que a
// tabela de um campo grande não fica inteira na memória; sem destino, só acumula.
struct saida_texto {
    std::string texto;
    std::function<void(const std::string&)> destino;
    void linha(const std::string& s) {
        texto += s;
        texto += "\r\n";
        if (destino && texto.size() >= 65536) terminar();
    }
    void terminar() {
        if (destino && !texto.empty()) destino(texto);
        if (destino) texto.clear();
    }
};

// Blocos da listagem; cada linha termina em CR LF.
void escrever_dados(const estado_execucao& e, saida_texto& saida);
void escrever_campo_T(const double* T, int nyk, int nxk, int nxyk, saida_texto& saida);
void escrever_listagem(const estado_execucao& e, saida_texto& saida);
/// A listagem inteira num texto (testes).
std::string montar_listagem(const estado_execucao& e);

/// Grava a listagem por um temporário no mesmo diretório, renomeado sobre a antiga quando completa.
void gravar_listagem(const std::string& arquivo, const estado_execucao& e);
/// Gravação atômica; `canal` nomeia o arquivo nas mensagens de erro.
void gravar_atomico(const std::string& arquivo, const std::string& conteudo, const std::string& canal);
void gravar_atomico(const std::string& arquivo, const std::function<void(saida_texto&)>& produzir,
                    const std::string& canal);

// Saídas pedidas pela linha de comando; nenhuma muda a listagem.
/// Número em CSV: a forma mais curta que relê o mesmo double.
std::string numero_csv(double v);
/// Histórico: cabeçalho e uma linha por iteração, de 0 a niter.
std::string historico_csv(const estado_execucao& e);
/// Cabeçalho e linha do resumo de uma rodada.
std::string cabecalho_resumo();
std::string linha_resumo(const estado_execucao& e, const erro_exato& erro);
/// Acrescenta a linha ao resumo, com o cabeçalho antes quando o arquivo é novo ou vazio.
void anexar_resumo(const std::string& arquivo, const std::string& linha);
/// Linha do monitor para a iteração e.it (como na tabela da listagem) e o sumário final.
std::string linha_monitor(const estado_execucao& e);
std::string sumario_monitor(const estado_execucao& e, const erro_exato& erro);
/// "threads: N pedidas, M usadas", e por que M < N (processadores, ou o sistema recusou criar).
std::string linha_threads(const estado_execucao& e);
/// Texto Latin-1 para UTF-8 (terminal, SVG).
std::string utf8(const std::string& latin1);
/// Dados, roteiro gnuplot e os dois SVG de PREFIXO; false quando o gnuplot não existe.
bool desenhar_graficos(const estado_execucao& e, const std::string& prefixo);
