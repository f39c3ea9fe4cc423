// Uma rodada: a linha de comando (opcoes.h) e a ajuda, a leitura da entrada e os avisos sobre ela, --set, os
// destinos conferidos antes da solução, o plano de memória e a sequência (editor, leitura, solução, saídas
// efetivadas juntas, editor). Chama solver/, analysis/ e report/; um estudo (study/) chama estas rodadas.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "state/estado.h"
#include "state/metodo.h"
#include "run/opcoes.h"

/// Nome do arquivo de entrada quando nenhum é dado.
inline constexpr const char* arquivo_entrada_padrao = "tervano3.ent";

// Um valor como o leitor o achou, para os avisos sobre a entrada.
struct valor_lido {
    std::string nome;     // caso, nm, ...
    long long linha = 0;  // linha do arquivo
    std::string texto;    // o valor como escrito (até onde foi lido)
    std::string resto;    // começo do que o segue na sua linha, o terminador incluído
    bool cortado = false; // texto mais longo que o membro
    int perdidos = 0;     // caracteres que o Latin-1 não tem, trocados por '?'
    std::string usado;    // texto: o que o membro guardou, sem os brancos do fim
    std::string origem;   // não vazio: o valor veio da linha de comando ("--set nm=5"), não do arquivo
};

// O que ler_dados lê e como.
struct pedido_leitura {
    std::string arquivo = arquivo_entrada_padrao;
    bool editar = true;                            // o editor sobre a entrada antes da leitura
    std::span<const alteracao_entrada> alteracoes; // --set, na ordem dada
};
/// Editor sobre a entrada (com um modelo comentado quando ela falta), depois os doze valores, as alterações da
/// linha de comando, os níveis e hist; devolve os avisos sobre valores suspeitos.
std::vector<std::string> ler_dados(estado_execucao& e, const pedido_leitura& pedido);
// A entrada de um estudo, lida uma vez: os bytes (a cópia que cada rodada lê na sua entrada padrão), os valores com
// as alterações da linha de comando e os avisos.
struct entrada_unica {
    std::string bytes;
    estado_execucao estado;
    std::vector<std::string> avisos;
};
/// Lê o arquivo inteiro de uma vez (até 64 MiB) e os doze valores dessa cópia, com as alterações (--set); os erros
/// são os de ler_dados.
entrada_unica ler_entrada_uma_vez(const std::string& arquivo, std::span<const alteracao_entrada> alteracoes);
/// Os doze valores de um arquivo já aberto (unidade 7); erros citam `arquivo`; devolve os avisos.
std::vector<std::string> ler_valores(estado_execucao& e, std::FILE* f, const std::string& arquivo);
/// Avisos (a rodada segue) sobre valores que a leitura aceita mas que parecem enganos: vírgula decimal, número
/// partido, texto cortado, tolt fora de (0, 1), contagens abaixo de 1, códigos fora dos documentados.
std::vector<std::string> avisos_da_entrada(const estado_execucao& e, const std::vector<valor_lido>& lidos,
                                           const std::string& arquivo);
/// O aviso (sem "warning: onde: ") de um número seguido de algo no seu texto: vírgula e dígitos (vírgula decimal?),
/// brancos e dígitos (número partido?) ou, só na linha de comando, qualquer outra coisa (ignorada); vazio se nada.
std::string aviso_numero_seguido(const std::string& nome, const std::string& valor, const std::string& resto,
                                 bool linha_de_comando);
/// Nome aceito por --set e --sweep para um valor da entrada (nxg e nyg valem nxg(1) e nyg(1))?
bool valor_de_entrada(std::string_view nome);
/// Confere o valor de um nome da entrada como a leitura o conferiria, sem o arquivo: vazio se aceito, senão o motivo.
std::string conferir_valor_de_entrada(const std::string& nome, const std::string& valor);
/// Aplica as alterações (--set) aos valores lidos, em ordem; o registro de cada uma toma em `lidos` o lugar do
/// valor do arquivo (os avisos citam a opção); erro_fatal citando a opção se os tamanhos passam de 32 bits.
void aplicar_alteracoes(estado_execucao& e, std::span<const alteracao_entrada> alteracoes, std::vector<valor_lido>& lidos);
/// nxg(k) = (nxg(1)-1)*2^(k-1)+1, idem nyg; nxyg(k) = nxg(k)*nyg(k); nxyt = soma.
void derivar_niveis(estado_execucao& e);
/// Entradas de hist criadas antes da solução; além delas hist cresce com as iterações.
inline constexpr int hist_inicial = 4096;
/// Cria hist com índices 0..min(itmax, hist_inicial - 1) (uma entrada quando itmax < 0).
void criar_hist(estado_execucao& e);

// Bytes que a rodada vai tomar: as tabelas da solução, o rascunho dos núcleos, os buffers das saídas e a pilha
// de cada thread auxiliar.
struct necessidade_memoria {
    long long T = 0, cor = 0, res = 0, hist = 0;
    long long rascunho = 0; // linhas de trabalho dos núcleos e rascunho do suavizador e da restrição do método
    long long fator = 0;    // Cholesky em banda do nível 1 (--coarsest solve)
    long long operador = 0; // coeficiente variável: kappa, a sua média nos níveis grossos e ax, ay, ap de cada nível
    long long fonte = 0;    // termo fonte do nível mais fino (sin:KX:KY, constant:F)
    long long saidas = 0;   // buffers dos arquivos de saída, a amostra dos gráficos e a mensagem do gnuplot
    long long pilha = 0;    // por thread auxiliar
};
necessidade_memoria memoria_necessaria(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo);
/// Recusa (erro_fatal com as cifras) a rodada que não cabe na memória disponível; devolve quantas das
/// `threads` pedidas cabem com suas pilhas (ao menos 1).
int planejar_memoria(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo, int threads);
/// O problema pedido contra a entrada (erro_fatal, antes de qualquer arquivo): M do coeficiente que cabe nas células
/// do nível mais fino, sin:KX:KY só com coeficiente constante, tipo_ci = 1 só com solução exata (`arquivo`: a
/// entrada), operador finito.
void conferir_problema(const estado_execucao& e, const metodo_efetivo& m, const std::string& arquivo);
/// Com Galerkin, a interpolação pelo operador ou o semiengrossamento, todo nível precisa de pontos interiores
/// (doc/metodo.md, 12): erro_fatal com o nível que não tem.
void conferir_niveis(const estado_execucao& e, const metodo_efetivo& m);
/// Avisos (sem o prefixo) do problema que a grade não representa (sin:KX:KY com KX ou KY além dos seus intervalos).
std::vector<std::string> avisos_do_problema(const estado_execucao& e, const metodo_efetivo& m);
/// O arquivo de --summary pode receber linhas: gravável, regular e vazio, inexistente ou já um resumo do placa.
void conferir_resumo(const std::string& arquivo);
/// Confere os destinos antes da solução: cada um pode ser escrito, nenhum é a entrada, dois não são o mesmo.
void conferir_destinos(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo);

/// Threads quando -j não é dado: os processadores disponíveis que a carga do sistema deixa ociosos (ao menos 1).
int threads_padrao(int processadores, double carga);
/// Uma execução completa: editor, leitura, solução, listagem, editor.
void executar(estado_execucao& e, const std::string& arquivo);
/// Código de saída de uma rodada que divergiu (as saídas foram escritas).
inline constexpr int codigo_divergiu = 3;
/// A rodada com as opções da linha de comando; devolve o código de saída (0; 1 sem gnuplot; codigo_divergiu).
int executar(estado_execucao& e, const opcoes_execucao& o);
