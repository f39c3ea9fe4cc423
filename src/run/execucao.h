// Controle da execução: leitura da entrada, tamanhos dos níveis e sequência da execução.
#pragma once

#include <cstdio>
#include <string>

#include "run/estado.h"
#include "run/opcoes.h"

/// Nome do arquivo de entrada quando nenhum é dado.
inline constexpr const char* arquivo_entrada_padrao = "tervano3.ent";

/// Editor sobre a entrada, depois os doze valores, os níveis e hist.
void ler_dados(estado_execucao& e, const std::string& arquivo, bool editar = true);
/// Os doze valores de um arquivo já aberto (unidade 7); erros citam `arquivo`.
void ler_valores(estado_execucao& e, std::FILE* f, const std::string& arquivo);
/// nxg(k) = (nxg(1)-1)*2^(k-1)+1, idem nyg; nxyg(k) = nxg(k)*nyg(k); nxyt = soma.
void derivar_niveis(estado_execucao& e);
/// Entradas de hist criadas antes da solução; além delas hist cresce com as iterações.
inline constexpr int hist_inicial = 4096;
/// Cria hist com índices 0..min(itmax, hist_inicial - 1) (uma entrada quando itmax < 0).
void criar_hist(estado_execucao& e);

// Bytes das tabelas que a solução vai criar.
struct necessidade_memoria {
    long long T = 0, cor = 0, res = 0, hist = 0;
};
necessidade_memoria memoria_necessaria(const estado_execucao& e);
/// Recusa (erro_fatal com as duas cifras) a rodada que não cabe na memória disponível.
void planejar_memoria(const estado_execucao& e);

/// Threads quando -j não é dado: os processadores disponíveis que a carga do sistema deixa ociosos (ao menos 1).
int threads_padrao(int processadores, double carga);
/// Uma execução completa: editor, leitura, solução, listagem, editor.
void executar(estado_execucao& e, const std::string& arquivo);
/// A rodada com as opções da linha de comando; devolve o código de saída (0, ou 1 sem gnuplot).
int executar(estado_execucao& e, const opcoes_execucao& o);
